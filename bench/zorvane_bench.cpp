// Runs Zorvane's real extraction of one archive offscreen, answering the folder
// chooser as a user would: the destination typed in, every check box as the
// window offers it (a new folder per archive, "use for all"), except that the
// folder is not opened at the end. For bench/run.sh to time against `unrar x`.
//
// Usage: zorvane_bench [--stats FILE] ARCHIVE DESTINATION
//
// The files land in DESTINATION/NAME, NAME being the archive's file name
// without its extension (vol.part1 for vol.part1.rar).
//
// It writes one line to FILE (or stderr): how long the run itself took (from
// the archive handed over to the summary), how often the main window and its
// children were painted during it and how many entry, progress and volume
// events the session raised. Exits 1 when the run logged an error
// or showed a window other than the chooser.

#include "core/archive/ArchiveSession.h"
#include "core/util/CommandLine.h"
#include "gui/Application.h"
#include "gui/mainwindow/ErrorLogDialog.h"
#include "gui/mainwindow/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

struct Counts
{
    qint64 paints = 0;
    qint64 updateRequests = 0;
    qint64 files = 0;
    qint64 progress = 0;
    qint64 volumes = 0;
};

// Counts the paints of one window and of everything inside it.
class PaintCounter : public QObject
{
public:
    PaintCounter(QWidget* window, Counts& counts)
        : m_window(window)
        , m_counts(counts)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Paint || type == QEvent::UpdateRequest) && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_window)
            ++(type == QEvent::Paint ? m_counts.paints : m_counts.updateRequests);
        return false;
    }

private:
    QWidget* m_window;
    Counts& m_counts;
};

// Answers the extract-folder chooser as soon as it is shown; any other modal
// window means the run went wrong, so it is noted and closed.
class ChooserAnswer : public QObject
{
public:
    ChooserAnswer(MainWindow& window, const QString& destination, Counts& counts)
        : m_window(window)
        , m_destination(destination)
        , m_counts(counts)
    {
        qApp->installEventFilter(this);
    }

    QStringList problems;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* prompt = static_cast<QWidget*>(watched);
        if (prompt->isWindow() && prompt->isModal())
            // Once its modal loop runs, which Qt never re-enters while the answer runs.
            QTimer::singleShot(0, this, [this, shown = QPointer<QWidget>(prompt)] {
                if (shown)
                    answer(shown);
            });
        return false;
    }

private:
    void answer(QWidget* prompt)
    {
        if (prompt->objectName() != u"Form2" || !problems.isEmpty()) {
            if (auto* log = qobject_cast<ErrorLogDialog*>(prompt))
                problems += log->lines();
            else
                problems += QStringLiteral("unexpected window %1 \"%2\"")
                                .arg(QString::fromLatin1(prompt->metaObject()->className()), prompt->windowTitle());
            prompt->close();
            return;
        }
        watchSession();
        prompt->findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(m_destination);
        // Opening the folder would start a file manager once the run is over.
        prompt->findChild<QCheckBox*>(QStringLiteral("chkautoopen"))->setChecked(false);
        prompt->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    }

    // The session exists once the chooser is up, and has raised nothing yet.
    void watchSession()
    {
        auto* session = m_window.findChild<ArchiveSession*>();
        if (!session || session == m_session)
            return;
        m_session = session;
        connect(session, &ArchiveSession::processingFile, this, [this] { ++m_counts.files; });
        connect(session, &ArchiveSession::progress, this, [this] { ++m_counts.progress; });
        connect(session, &ArchiveSession::nextVolume, this, [this] { ++m_counts.volumes; });
    }

    MainWindow& m_window;
    QString m_destination;
    Counts& m_counts;
    QPointer<ArchiveSession> m_session;
};

// Not a first start, no tips and no folder opened at the end.
bool seedSettings(const QString& configHome)
{
    if (!QDir().mkpath(configHome + QStringLiteral("/Quenmarsh")))
        return false;
    QFile file(configHome + QStringLiteral("/Quenmarsh/Zorvane.conf"));
    return file.open(QIODevice::WriteOnly) &&
           file.write("[General]\nFirst Run=False\nNo Instructions=1\n\n[Options]\nAuto Open=0\n") > 0;
}

int usage()
{
    std::fprintf(stderr, "usage: zorvane_bench [--stats FILE] ARCHIVE DESTINATION\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QString statsPath;
    QStringList operands;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == u"--stats" && i + 1 < argc)
            statsPath = QString::fromLocal8Bit(argv[++i]);
        else if (arg.startsWith(u'-'))
            return usage();
        else
            operands.append(arg);
    }
    if (operands.size() != 2)
        return usage();
    const QString archive = QFileInfo(operands.at(0)).absoluteFilePath();
    const QString destination = QFileInfo(operands.at(1)).absoluteFilePath();

    // Settings of its own, no network and no display, all before Qt starts.
    QTemporaryDir home;
    if (!home.isValid() || !seedSettings(home.filePath(QStringLiteral("config"))))
        return 3;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZORVANE_UPDATE_URL", "");

    int appArgc = 1;
    Application app(appArgc, argv);
    MainWindow window;
    Counts counts;
    PaintCounter paints(&window, counts);
    app.installEventFilter(&paints);
    ChooserAnswer answer(window, destination, counts);

    // The run alone, from the archive handed over to the summary: without the
    // process's start-up and exit, which bench/startup.sh measures.
    qint64 runNs = 0;
    QTimer::singleShot(0, &window, [&] {
        QElapsedTimer run;
        run.start();
        window.start({archive});
        runNs = run.nsecsElapsed();
        QCoreApplication::exit(0);
    });
    app.exec();
    app.removeEventFilter(&paints);

    const auto* summary = window.findChild<QLabel*>(QStringLiteral("Label1"));
    const QString line =
        QStringLiteral("run_s=%1 paints=%2 update_requests=%3 files=%4 progress=%5 volumes=%6 summary=\"%7\"\n")
            .arg(runNs / 1e9, 0, 'f', 3)
            .arg(counts.paints)
            .arg(counts.updateRequests)
            .arg(counts.files)
            .arg(counts.progress)
            .arg(counts.volumes)
            .arg(summary ? summary->text().simplified() : QString());
    QFile stats(statsPath);
    const bool open = statsPath.isEmpty() ? stats.open(stderr, QIODevice::WriteOnly)
                                          : stats.open(QIODevice::WriteOnly | QIODevice::Append);
    if (!open)
        return 3;
    stats.write(line.toUtf8());
    for (const QString& problem : answer.problems)
        stats.write(QStringLiteral("problem: %1\n").arg(problem).toUtf8());
    return answer.problems.isEmpty() ? 0 : 1;
}
