#include "settings/modBoundedChild.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace modBoundedChild {

namespace {

// Short: most children are done within a millisecond or two.
constexpr auto PollInterval = std::chrono::milliseconds(1);

// The child's exit status once work has returned; a crash or an exit from
// inside work gives another one.
constexpr int WorkReturned = 0;

enum class Outcome
{
    Ended,
    TimedOut,
    Lost, // no longer our child to wait for; it must not be signalled
};

Outcome waitBounded(pid_t pid, int& status, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const pid_t result = ::waitpid(pid, &status, WNOHANG);
        if (result == pid)
            return Outcome::Ended;
        if (result < 0 && errno != EINTR)
            return Outcome::Lost;
        if (std::chrono::steady_clock::now() >= deadline)
            return Outcome::TimedOut;
        std::this_thread::sleep_for(PollInterval);
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

bool RunInChild(const std::function<void()>& work, std::chrono::milliseconds limit)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        work();
        ::_exit(WorkReturned);
    }
    int status = 0;
    switch (waitBounded(pid, status, limit)) {
    case Outcome::Ended:
        return WIFEXITED(status) && WEXITSTATUS(status) == WorkReturned;
    case Outcome::TimedOut:
        killAndReap(pid);
        return false;
    case Outcome::Lost:
        return false;
    }
    return false;
}

} // namespace modBoundedChild
