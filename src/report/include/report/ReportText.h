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
// 已鎖定, 已繳, 轉帳失敗, 無須繳費 or 未繳: the one status a bill is counted under.
QString standingName(Standing standing);
// The bill's status, then what else is true of it: 轉帳失敗：cause, 已繳（先前轉帳失敗：cause）,
// 已鎖定（已繳）.
QString statusText(const Bill& bill);
// With thousands separators, as printed: 1,234,567; empty when unset.
QString amountText(std::optional<qint64> amount);
QString classText(const ClassKey& key);        // 3 年 2 班
QString groupText(const BatchHeader& header);  // the group id and its name
// The title, the group, the date in the lists' form and the fees the batch was priced with.
QStringList headerLines(const BatchHeader& header);
// Transfers and counter slips always; no-bill records and other channels where there are some.
std::vector<Channel> shownChannels(const BatchTotals& totals);
// The bills by status, which add up to the batch: 已鎖定 N 筆，已繳 N 筆 ... ，合計 N 筆.
QString countsText(const BatchTotals& totals);
// Says that each bill counts under one status, and which one when several apply.
QString standingsNote();
// The totals by channel and by class, then the counts by status and what they mean.
QStringList totalLines(const BatchTotals& totals);

}  // namespace kiv::report
