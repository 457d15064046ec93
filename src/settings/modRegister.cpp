#include "settings/modRegister.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dlfcn.h>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace modRegister {

namespace {

using EntryPoint = long (*)();

constexpr auto kTimeLimit = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(10);

// The child's exit status once the entry has returned; a crash or an exit from
// inside the entry gives another one.
constexpr int kEntryReturned = 0;

struct LibraryCloser
{
    void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

enum class Outcome
{
    Ended,
    TimedOut,
    Lost, // no longer our child to wait for; it must not be signalled
};

Outcome WaitBounded(pid_t pid, int& status)
{
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    for (;;) {
        const pid_t result = ::waitpid(pid, &status, WNOHANG);
        if (result == pid)
            return Outcome::Ended;
        if (result < 0 && errno != EINTR)
            return Outcome::Lost;
        if (std::chrono::steady_clock::now() >= deadline)
            return Outcome::TimedOut;
        std::this_thread::sleep_for(kPollInterval);
    }
}

void KillAndReap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// A thread cannot be stopped safely once it overruns, a child process can; so
// the entry runs in a forked copy of the program that does nothing else.
bool RunBounded(EntryPoint entry)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        entry();
        ::_exit(kEntryReturned);
    }
    int status = 0;
    switch (WaitBounded(pid, status)) {
    case Outcome::Ended:
        return WIFEXITED(status) && WEXITSTATUS(status) == kEntryReturned;
    case Outcome::TimedOut:
        KillAndReap(pid);
        return false;
    case Outcome::Lost:
        return false;
    }
    return false;
}

} // namespace

bool RegisterLibrary(const QString& LibraryPath, bool Register)
{
    // An empty name would make the loader hand back the program itself.
    if (LibraryPath.isEmpty())
        return false;
    const Library library(dlopen(QFile::encodeName(LibraryPath).constData(), RTLD_NOW | RTLD_LOCAL));
    if (!library)
        return false;
    const auto entry =
        reinterpret_cast<EntryPoint>(dlsym(library.get(), Register ? "DllRegisterServer" : "DllUnregisterServer"));
    if (!entry)
        return false;
    // The library is unloaded on return, once the child running its entry is gone.
    return RunBounded(entry);
}

} // namespace modRegister
