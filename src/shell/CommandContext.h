#pragma once
// What every tab command runs with: the package, today's date, the screen that shows it, and how
// long a write waits for another workstation's write lock.

#include <QDate>
#include <QString>
#include <chrono>

#include "LockWait.h"
#include "Screen.h"

namespace kiv::shell {

struct CommandContext {
    QString baseFolder;
    QDate today;
    kiv::screen::Screen& screen;
    std::chrono::milliseconds lockWait = kiv::store::kDefaultLockWait;
};

}  // namespace kiv::shell
