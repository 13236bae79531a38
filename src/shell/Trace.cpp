#include "Trace.h"

#include <QTextStream>

namespace kiv::shell {

void traceFailure(const QString& where, const QString& description) {
    QTextStream(stderr) << where << ": " << description << "\n";
}

}  // namespace kiv::shell
