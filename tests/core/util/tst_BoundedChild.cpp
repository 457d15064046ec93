#include "core/util/BoundedChild.h"
#include "support/TestFiles.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using BoundedChild::Outcome;
using Work = std::function<void()>;

Q_DECLARE_METATYPE(Work)
Q_DECLARE_METATYPE(Outcome)

// Crashes, time-outs and the caller served meanwhile are met where the program
// meets them: tst_ArchiveSession and tst_ExtensionRegistration.
class tst_BoundedChild : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QByteArray m_pidFile = QFile::encodeName(m_dir.filePath("pids"));

    // Appends the calling process's pid to the pid file, one per line, with
    // plain system calls: it runs in forked children.
    void notePid() const
    {
        const int fd = ::open(m_pidFile.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const QByteArray line = QByteArray::number(::getpid()) + '\n';
        if (fd >= 0 && ::write(fd, line.constData(), static_cast<size_t>(line.size())) >= 0)
            ::close(fd);
    }

private slots:
    void init() { QFile::remove(m_pidFile); }

    // Only work that returns counts; the child is gone when the call returns,
    // and the call does not wait for a helper the child left running.
    void runInChild_data()
    {
        QTest::addColumn<Work>("work");
        QTest::addColumn<Outcome>("expected");
        QTest::newRow("exits with an error") << Work([] { ::_exit(3); }) << Outcome::Failed;
        // A helper forked without exec keeps every descriptor of the child; it
        // notes its pid as it starts, which may come after the call returned,
        // and again as it ends, seconds later.
        QTest::newRow("leaves a helper running") << Work([this] {
            if (::fork() == 0) {
                notePid();
                ::sleep(5);
                notePid();
                ::_exit(0);
            }
        }) << Outcome::Returned;
    }

    void runInChild()
    {
        QFETCH(Work, work);
        const auto noted = [&work, this] {
            notePid();
            work();
        };
        QTEST(BoundedChild::runInChild(noted, std::chrono::seconds(60)), "expected");
        QList<QByteArray> pids = readFile(m_pidFile).split('\n');
        QVERIFY(pids[0].toInt() > 0 && ::kill(pids[0].toInt(), 0) == -1 && errno == ESRCH);
        if (QTest::currentDataTag() == QByteArray("leaves a helper running")) {
            QTRY_VERIFY((pids = readFile(m_pidFile).split('\n')).size() >= 3);
            QVERIFY(pids[1].toInt() > 0); // never 0, the whole process group
            ::kill(pids[1].toInt(), SIGKILL);
            QVERIFY2(pids.size() == 3, "the call waited for the helper to end");
        }
    }
};

QTEST_GUILESS_MAIN(tst_BoundedChild)
#include "tst_BoundedChild.moc"
