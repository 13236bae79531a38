#include "commands/BatchReports.h"

#include "database/Connection.h"
#include "database/Failure.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

ReportRead readReport(const QString& baseFolder, const QDate& day, qint64 group) {
    ReportRead read;
    try {
        kiv::store::PackageConnection connection(baseFolder);
        read.report = report::readBatchReport(connection, day, group);
    } catch (const database::Failure& f) {
        read.failure = f.description();
    }
    return read;
}

}  // namespace kiv::commands
