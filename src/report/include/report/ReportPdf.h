#pragma once
// The printed report of a batch: an A4 PDF drawn with Qt's own PDF writer, in Traditional
// Chinese. The header with the batch's fees on the first page, the bills as a table whose column
// heads stand at the top of every page, the totals at the end, and 第 N 頁，共 M 頁 at the foot
// of each page. A table too wide for the page turns it to landscape and, if need be, prints
// smaller. Needs a QGuiApplication.

#include <QByteArray>

#include "report/BatchReport.h"

namespace kiv::report {

QByteArray reportPdf(const BatchReport& report);

}  // namespace kiv::report
