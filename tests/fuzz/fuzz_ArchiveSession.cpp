// Any file named like an archive must go through a whole list pass and test
// pass of the real session and UnRAR library without a crash, a leak or a hang.
#include "core/archive/ArchiveSession.h"
#include "core/archive/RunState.h"
#include "gui/prompts/DialogPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

namespace {
QTemporaryDir* folder = nullptr;

// Every prompt the session opens is cancelled as soon as it shows, as by Escape.
struct RejectDialogs : QObject
{
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    folder = new QTemporaryDir;
    // The password prompt reads the saved passwords: never the user's own.
    qputenv("HOME", folder->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", folder->filePath(".config").toUtf8());
    static int qtArgc = 1; // libFuzzer's flags are not Qt's
    (new QApplication(qtArgc, *argv))->installEventFilter(new RejectDialogs);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(folder->filePath("input.rar"));
    if (size > 64 * 1024 || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0; // 64 KiB hold every header kind; more only slows the search
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    RunState run;
    run.useFolderForAll = true; // no folder prompt; nothing is extracted
    run.extractFolder = folder->path() + u'/';
    DialogPrompts prompts;
    ArchiveSession session(prompts, run);
    QStringList names(64);
    // The list pass meets the password prompt, the test pass a preset password.
    session.listArchive(file.fileName(), names);
    run.usePasswordForAll = true;
    run.password = QStringLiteral("fuzz");
    session.testArchive(file.fileName());
    return 0;
}
