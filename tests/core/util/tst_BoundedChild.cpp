#include "core/util/BoundedChild.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using BoundedChild::Outcome;
using Work = std::function<void()>;

Q_DECLARE_METATYPE(Work)
Q_DECLARE_METATYPE(Outcome)

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
    QList<QByteArray> notes() const { return readFile(m_pidFile).split('\n'); }

private slots:
    void init() { QFile::remove(m_pidFile); }

    // Only work that returns in time counts; whatever else happens, the child
    // is gone when the call returns, and the call does not wait for a helper
    // the child left running. The caller is served while a slow child works.
    void runInChild_data()
    {
        QTest::addColumn<Work>("work");
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<Outcome>("expected");
        QTest::newRow("returns") << Work([] {}) << 60000 << Outcome::Returned;
        QTest::newRow("exits with an error") << Work([] { ::_exit(3); }) << 60000 << Outcome::Failed;
        QTest::newRow("is killed") << Work([] { ::raise(SIGKILL); }) << 60000 << Outcome::Failed;
        QTest::newRow("overruns its limit") << Work([] { ::sleep(30); }) << 300 << Outcome::TimedOut;
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
        }) << 60000 << Outcome::Returned;
    }

    void runInChild()
    {
        QFETCH(Work, work);
        QFETCH(int, limitMs);
        QFETCH(Outcome, expected);
        int served = 0;
        const auto childWork = [&] {
            notePid();
            work();
        };
        QCOMPARE(BoundedChild::runInChild(childWork, std::chrono::milliseconds(limitMs), [&] { ++served; }), expected);
        QVERIFY(expected != Outcome::TimedOut || served > 0);
        QList<QByteArray> pids = notes();
        QVERIFY(pids[0].toInt() > 0 && ::kill(pids[0].toInt(), 0) == -1 && errno == ESRCH);
        if (QTest::currentDataTag() == QByteArray("leaves a helper running")) {
            QTRY_VERIFY((pids = notes()).size() >= 3);
            QVERIFY(pids[1].toInt() > 0); // never 0, the whole process group
            ::kill(pids[1].toInt(), SIGKILL);
            QVERIFY2(pids.size() == 3, "the call waited for the helper to end");
        }
    }
};

QTEST_GUILESS_MAIN(tst_BoundedChild)
#include "tst_BoundedChild.moc"
