#pragma once
// Failures that the window reports silently still leave a line on standard error, so that the
// school's IT staff can trace them.

#include <QString>

namespace kiv::commands {

void traceFailure(const QString& where, const QString& description);

}  // namespace kiv::commands
