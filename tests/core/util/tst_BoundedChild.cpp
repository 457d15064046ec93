#include "core/util/BoundedChild.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum class Work
{
    Returns,
    ExitsWithError,
    IsKilled,
    Overruns,
    LeavesAHelperRunning,
};

// Appends the calling process's pid to the file, one per line.
void notePid(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const QByteArray line = QByteArray::number(::getpid()) + '\n';
    if (fd >= 0 && ::write(fd, line.constData(), static_cast<size_t>(line.size())) >= 0)
        ::close(fd);
}

void run(Work work, const QByteArray& pidFile)
{
    notePid(pidFile);
    switch (work) {
    case Work::Returns:
        return;
    case Work::ExitsWithError:
        ::_exit(3);
    case Work::IsKilled:
        ::raise(SIGKILL);
        return;
    case Work::Overruns:
        ::sleep(30);
        return;
    case Work::LeavesAHelperRunning:
        // A helper forked without exec keeps every descriptor of the child.
        if (::fork() == 0) {
            notePid(pidFile);
            ::sleep(5);
            notePid(pidFile);
            ::_exit(0);
        }
        return;
    }
}

bool isGone(pid_t pid)
{
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

} // namespace

using BoundedChild::Outcome;

Q_DECLARE_METATYPE(Work)
Q_DECLARE_METATYPE(Outcome)

class tst_modBoundedChild : public QObject
{
    Q_OBJECT

private slots:
    // Only work that returns in time counts; whatever else happens, the child
    // is gone when the call returns, and the call does not wait for a helper
    // the child left running.
    void runInChild_data()
    {
        QTest::addColumn<Work>("work");
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<Outcome>("expected");
        QTest::newRow("returns") << Work::Returns << 60000 << Outcome::Returned;
        QTest::newRow("exits with an error") << Work::ExitsWithError << 60000 << Outcome::Failed;
        QTest::newRow("is killed") << Work::IsKilled << 60000 << Outcome::Failed;
        QTest::newRow("overruns its limit") << Work::Overruns << 300 << Outcome::TimedOut;
        QTest::newRow("leaves a helper running") << Work::LeavesAHelperRunning << 60000 << Outcome::Returned;
    }

    void runInChild()
    {
        QFETCH(Work, work);
        QFETCH(int, limitMs);
        QFETCH(Outcome, expected);
        QTemporaryDir dir;
        const QByteArray pidFile = QFile::encodeName(dir.filePath("pids"));

        // The caller is served while a slow child works.
        int served = 0;
        QCOMPARE(BoundedChild::runInChild([&] { run(work, pidFile); }, std::chrono::milliseconds(limitMs),
                                          [&served] { ++served; }),
                 expected);
        if (work == Work::Overruns)
            QVERIFY(served > 0);

        const auto notes = [&pidFile] {
            QFile file(QString::fromLocal8Bit(pidFile));
            return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{};
        };
        QList<QByteArray> pids = notes();
        QVERIFY(!pids.isEmpty());
        const pid_t child = pids.at(0).toInt();
        QVERIFY(child > 0);
        QVERIFY(isGone(child));
        if (work == Work::LeavesAHelperRunning) {
            // The helper notes its pid as it starts, which may come after the
            // call returned, and again as it ends, seconds later.
            QTRY_VERIFY((pids = notes()).size() >= 3);
            const pid_t helper = pids.at(1).toInt();
            QVERIFY(helper > 0);
            ::kill(helper, SIGKILL);
            QVERIFY2(pids.size() == 3, "the call waited for the helper to end");
        }
    }
};

QTEST_GUILESS_MAIN(tst_modBoundedChild)
#include "tst_BoundedChild.moc"
