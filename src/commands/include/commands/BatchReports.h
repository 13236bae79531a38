#pragma once
// A batch's report as the front-ends ask for it: read as it stands, in one read transaction.

#include <QDate>
#include <QString>
#include <optional>

#include "report/BatchReport.h"

namespace kiv::commands {

struct ReportRead {
    std::optional<report::BatchReport> report;  // nothing when the batch has no header
    QString failure;                            // why the database could not be read
};

ReportRead readReport(const QString& baseFolder, const QDate& day, qint64 group);

}  // namespace kiv::commands
