#pragma once
// What every tab command runs with: the package, today's date, the screen that shows it, and how
// long a write waits for another workstation's write lock.

#include <QDate>
#include <QString>
#include <chrono>

#include "database/LockWait.h"
#include "screen/Screen.h"

namespace kiv::commands {

struct CommandContext {
    QString baseFolder;
    QDate today;
    kiv::screen::Screen& screen;
    std::chrono::milliseconds lockWait = kiv::database::kDefaultLockWait;
    // A dry run: the write runs whole, its figures are shown, and it is rolled back; nothing is
    // written or compacted.
    bool dryRun = false;
};

}  // namespace kiv::commands
