#pragma once
// The one trace channel: every failure, whether or not the clerk sees a message for it, leaves
// a line "where: description" on standard error, so that the school's IT staff can trace it.

#include <QString>

namespace kiv::database {

void traceFailure(const QString& where, const QString& description);

}  // namespace kiv::database
