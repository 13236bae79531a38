#pragma once
// The bills of a batch report for a spreadsheet: UTF-8 with a byte-order mark, a row of column
// names, then one row per bill in the report's order, lines ended CR LF. No totals rows, so
// that the spreadsheet's sums are the report's. Numbers without separators.

#include <QByteArray>
#include <QString>

#include "report/BatchReport.h"

namespace kiv::report {

QByteArray reportCsv(const BatchReport& report);

// A field as CSV requires: in double quotes, its quotes doubled, when it holds a comma, a quote
// or a line break; as it is otherwise.
QString csvField(const QString& text);
// A text cell that a spreadsheet would take for a formula (it begins with =, +, -, @, a tab or a
// carriage return: a student id or a failure cause typed so by anyone) gets a leading apostrophe,
// which spreadsheets read as "text". Numbers are written as numbers, never through this.
QString csvText(const QString& text);

}  // namespace kiv::report
