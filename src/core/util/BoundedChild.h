#pragma once

#include <chrono>
#include <functional>

// Work that may crash or hang runs in a forked copy of the program that does
// nothing else: a thread cannot be stopped once it overruns, a child process
// can, and its crash is not ours.
namespace BoundedChild {

enum class Outcome
{
    Returned, // work returned normally in time
    Failed,   // it crashed, exited from inside work, or no child could be made
    TimedOut, // it was still running at the limit and was killed
};

// Runs work in a child process and waits for it at most limit. whileWaiting,
// when given, runs every few milliseconds until the child is done, so that a
// window stays served during the wait.
Outcome runInChild(const std::function<void()>& work, std::chrono::milliseconds limit,
                   const std::function<void()>& whileWaiting = {});

} // namespace BoundedChild
