#pragma once

#include <chrono>
#include <functional>

// Work that may crash or hang runs in a forked copy of the program that does
// nothing else: a thread cannot be stopped once it overruns, a child process
// can, and its crash is not ours.
namespace modBoundedChild {

// Runs work in a child process and waits for it at most limit. True only when
// work returned normally in time; a child still running then is killed.
bool RunInChild(const std::function<void()>& work, std::chrono::milliseconds limit);

} // namespace modBoundedChild
