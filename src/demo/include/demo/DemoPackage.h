#pragma once
// Lays out a demo package: BASE/exe with copies of the three programs (a program finds its base
// folder from its own location, which a symbolic link would hide) and BASE/mdb/KIV.mdb with the
// demo school and its past batches.

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include "database/Result.h"

namespace kiv::demo {

struct DemoOptions {
    QDate today;  // the past batches are dated around it
    int students = 1200;
    std::uint32_t seed = 2200;
};

struct DemoSummary {
    kiv::database::Result status;
    QString report;  // what was laid out, for the person who asked
};

// The demo school's past batches around `today` (failed transfers, a partly settled batch,
// locked bills, an unpaid one), written on a database that holds the demo school; answers what
// was written, a line a batch. Throws database::Failure.
QString writeDemoBatches(const QString& baseFolder, const QDate& today);

DemoSummary layOutDemoPackage(const QString& baseFolder, const QString& programFolder,
                              const DemoOptions& options);

}  // namespace kiv::demo
