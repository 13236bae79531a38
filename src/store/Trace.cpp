#include "store/Trace.h"

#include <QTextStream>

namespace kiv::store {

void traceFailure(const QString& where, const QString& description) {
    QTextStream(stderr) << where << ": " << description << "\n";
}

}  // namespace kiv::store
