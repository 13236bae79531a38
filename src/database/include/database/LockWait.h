#pragma once
// How long a command waits for the database's write lock while another workstation (or another
// program of the package) writes, and what it does meanwhile.

#include <chrono>
#include <functional>

namespace kiv::database {

inline constexpr std::chrono::milliseconds kDefaultLockWait{30000};

struct LockWait {
    std::chrono::milliseconds limit = kDefaultLockWait;
    // Called about ten times a second while another process holds the lock, with the whole
    // seconds waited so far; the window repaints from here and the tab's label says that it waits.
    std::function<void(int secondsWaited)> waiting;
};

}  // namespace kiv::database
