#include "database/Trace.h"

#include <QTextStream>

namespace kiv::database {

void traceFailure(const QString& where, const QString& description) {
    QTextStream(stderr) << where << ": " << description << "\n";
}

}  // namespace kiv::database
