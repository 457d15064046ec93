#include "core/util/BoundedChild.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace BoundedChild {

namespace {

// Once the child has let go of its end of the pipe it is leaving; becoming
// a waitable child takes it microseconds more.
constexpr auto ExitPollInterval = std::chrono::microseconds(100);

// Something the child started may hold on to the pipe after the child is
// gone; waitpid gets asked, and a waiting window served, at least this often.
constexpr auto WaitSlice = std::chrono::milliseconds(20);

// The child's exit status once work has returned; a crash or an exit from
// inside work gives another one.
constexpr int WorkReturned = 0;

enum class Wait
{
    Ended,
    TimedOut,
    Lost, // no longer our child to wait for; it must not be signalled
};

// The child holds the write end and nothing ever writes to it: the read end
// reports a hang-up the moment the child exits or crashes, so the parent
// sleeps until then instead of polling on a timer.
class ExitPipe
{
public:
    ExitPipe()
    {
        if (::pipe2(m_fds, O_CLOEXEC) != 0)
            m_fds[0] = m_fds[1] = -1;
    }
    ~ExitPipe()
    {
        closeEnd(m_fds[0]);
        closeEnd(m_fds[1]);
    }
    ExitPipe(const ExitPipe&) = delete;
    ExitPipe& operator=(const ExitPipe&) = delete;

    bool isOpen() const { return m_fds[0] >= 0; }
    void keepWriteEndOnly() { closeEnd(m_fds[0]); }
    void keepReadEndOnly() { closeEnd(m_fds[1]); }

    // True once the pipe has nothing more to tell: every holder of the write
    // end is gone, or poll itself failed (the caller's short timer takes over
    // instead of a busy loop); false when until came first.
    bool waitForHangUp(std::chrono::steady_clock::time_point until) const
    {
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd readEnd{m_fds[0], POLLIN, 0};
            const int ready = ::poll(&readEnd, 1, static_cast<int>(left.count()));
            if (ready > 0 || (ready < 0 && errno != EINTR))
                return true;
        }
    }

private:
    static void closeEnd(int& fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    int m_fds[2];
};

Wait waitBounded(pid_t pid, const ExitPipe& exitPipe, int& status, std::chrono::milliseconds limit,
                 const std::function<void()>& whileWaiting)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool hungUp = false;
    for (;;) {
        const pid_t result = ::waitpid(pid, &status, WNOHANG);
        if (result == pid)
            return Wait::Ended;
        if (result < 0 && errno != EINTR)
            return Wait::Lost;
        if (std::chrono::steady_clock::now() >= deadline)
            return Wait::TimedOut;
        if (hungUp) {
            std::this_thread::sleep_for(ExitPollInterval);
            continue;
        }
        hungUp = exitPipe.waitForHangUp(std::min(deadline, std::chrono::steady_clock::now() + WaitSlice));
        // Only a child that takes its time costs the caller a turn.
        if (!hungUp && whileWaiting)
            whileWaiting();
    }
}

void killAndReap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

Outcome runInChild(const std::function<void()>& work, std::chrono::milliseconds limit,
                   const std::function<void()>& whileWaiting)
{
    ExitPipe exitPipe;
    if (!exitPipe.isOpen())
        return Outcome::Failed;
    const pid_t pid = ::fork();
    if (pid < 0)
        return Outcome::Failed;
    if (pid == 0) {
        exitPipe.keepWriteEndOnly();
        work();
        ::_exit(WorkReturned);
    }
    exitPipe.keepReadEndOnly();
    int status = 0;
    switch (waitBounded(pid, exitPipe, status, limit, whileWaiting)) {
    case Wait::Ended:
        return WIFEXITED(status) && WEXITSTATUS(status) == WorkReturned ? Outcome::Returned : Outcome::Failed;
    case Wait::TimedOut:
        killAndReap(pid);
        return Outcome::TimedOut;
    case Wait::Lost:
        return Outcome::Failed;
    }
    return Outcome::Failed;
}

} // namespace BoundedChild
