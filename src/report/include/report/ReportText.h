#pragma once
// The words and numbers of a batch report, shared by its summary on standard output, its PDF and
// its CSV.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "report/BatchReport.h"

namespace kiv::report {

using store::channelName;
// What applies of 已繳, 轉帳失敗：cause and 已鎖定; else 未繳, or 無須繳費 for a no-bill record.
// Without the cause, 轉帳失敗 alone.
QString statusText(const Bill& bill, bool withCause = true);
// With thousands separators, as printed: 1,234,567; empty when unset.
QString amountText(std::optional<qint64> amount);
QString classText(const ClassKey& key);        // 3 年 2 班
QString groupText(const BatchHeader& header);  // the group id and its name
// The title, the group, the date in the lists' form and the fees the batch was priced with.
QStringList headerLines(const BatchHeader& header);
// Transfers and counter slips always; no-bill records and other channels where there are some.
std::vector<Channel> shownChannels(const BatchTotals& totals);
QString countsText(const BatchTotals& totals);  // 已繳 N 筆，轉帳失敗 N 筆，已鎖定 N 筆，未繳 N 筆
// The totals by channel and by class, then the counts by status.
QStringList totalLines(const BatchTotals& totals);

}  // namespace kiv::report
