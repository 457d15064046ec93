#pragma once

#include "support/TestFiles.h"

// A desktop of the test's own for xdg-open: HOME and the XDG folders live below
// root, and a script is the default application for folders, web and mail
// links and HTML pages. The script notes "<how> <target>" for each call, one line per call.
class RecordingDesktop
{
public:
    explicit RecordingDesktop(const QString& root)
        : m_root(root)
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
            qputenv(name, QFile::encodeName(m_root.filePath(name)));
        // No desktop environment to detect; xdg-open reads the defaults only when it sees a display.
        qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
        qputenv("DISPLAY", ":zorvane-no-server");
        // The system's file types, but none of its applications.
        QVERIFY(QDir().mkpath(m_root.filePath("XDG_DATA_DIRS")));
        QVERIFY(QFile::link("/usr/share/mime", m_root.filePath("XDG_DATA_DIRS/mime")));
        const QString script = m_root.filePath("record.sh");
        qputenv("BROWSER", QFile::encodeName(script + " browser"));
        writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + QFile::encodeName(recordFile()) + "'\n");
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner));
        writeFile(m_root.filePath("XDG_DATA_HOME/applications/recorder.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + QFile::encodeName(script) +
                      " entry %u\n");
        writeFile(m_root.filePath("XDG_CONFIG_HOME/mimeapps.list"),
                  "[Default Applications]\ninode/directory=recorder.desktop\nx-scheme-handler/mailto=recorder.desktop\n"
                  "x-scheme-handler/https=recorder.desktop\ntext/html=recorder.desktop\n");
    }

    // What the default application was given so far.
    QString received() const { return QString::fromUtf8(readFile(recordFile())); }
    void clear() const { QFile::remove(recordFile()); }

private:
    QString recordFile() const { return m_root.filePath("record"); }

    QDir m_root;
};
