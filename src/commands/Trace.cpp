#include "commands/Trace.h"

#include <QTextStream>

namespace kiv::commands {

void traceFailure(const QString& where, const QString& description) {
    QTextStream(stderr) << where << ": " << description << "\n";
}

}  // namespace kiv::commands
