#pragma once
// The one trace channel: every failure, whether or not the clerk sees a message for it, leaves
// a line "where: description" on standard error, so that the school's IT staff can trace it.

#include <QString>

namespace kiv::store {

void traceFailure(const QString& where, const QString& description);

}  // namespace kiv::store
