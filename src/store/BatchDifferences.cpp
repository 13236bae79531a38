#include "store/BatchDifferences.h"

#include <QFileInfo>
#include <QUrl>
#include <map>

#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

using Batches = std::map<std::pair<QString, qint64>, BatchState>;

// Each batch of one schema ("main" or "kept"), as readBatchState counts it.
Batches readBatches(Connection& c, const QString& schema) {
    Batches out;
    const QString grouped = QStringLiteral(" group by TranDay, Grpid");
    const QString figures = QStringLiteral("select TranDay, Grpid, ");
    Rows headers(
        c, Statement(figures + kHeaderFigures + " from " + schema + ".KIV10_Agency" + grouped));
    while (headers.next()) {
        BatchState& s = out[{headers.text(0), headers.number(1, QStringLiteral("Grpid"))}];
        s.headers = headers.number(2, QStringLiteral("count"));
        s.settledHeaders = headers.number(3, QStringLiteral("count"));
    }
    Rows bills(c,
               Statement(figures + kBillFigures + " from " + schema + ".KIV8_PayMent" + grouped));
    while (bills.next()) {
        const auto at = out.find({bills.text(0), bills.number(1, QStringLiteral("Grpid"))});
        if (at != out.end()) {
            at->second.bills = bills.number(2, QStringLiteral("count"));
            at->second.lockedBills = bills.number(3, QStringLiteral("count"));
            at->second.settledBills = bills.number(4, QStringLiteral("count"));
            at->second.billTotal = bills.number(5, QStringLiteral("PayAmt"));
        }
    }
    Rows items(c, Statement(figures + "count(*) from " + schema + ".KIV9_Payitem" + grouped));
    while (items.next()) {
        const auto at = out.find({items.text(0), items.number(1, QStringLiteral("Grpid"))});
        if (at != out.end()) {
            at->second.items = items.number(2, QStringLiteral("count"));
        }
    }
    return out;
}

// The copy attached to the connection while it lives.
class Attached {
public:
    Attached(Connection& c, const QString& path) : m_c(c) {
        const QString uri =
            QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
        c.run(Statement(QStringLiteral("ATTACH DATABASE "))
                  .text(uri + QStringLiteral("?mode=ro"))
                  .sql(QStringLiteral(" AS kept")));
    }
    ~Attached() {
        try {
            m_c.runFixed(QStringLiteral("DETACH DATABASE kept"));
        } catch (const Failure&) {
            // Detached when the connection closes.
        }
    }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    Connection& m_c;
};

}  // namespace

std::vector<BatchDifference> compareWithLive(Connection& live, const QString& copyPath) {
    Batches copy, now;
    {
        const Attached attached(live, copyPath);
        const ReadTransaction read(live);
        copy = readBatches(live, QStringLiteral("kept"));
        now = readBatches(live, QStringLiteral("main"));
    }
    std::map<std::pair<QString, qint64>, BatchDifference> differences;
    for (const auto& [key, state] : copy) {
        const auto at = now.find(key);
        if (at == now.end() || at->second != state) {
            differences[key] = {key.first, key.second, state,
                                at == now.end() ? std::nullopt : std::optional(at->second)};
        }
    }
    for (const auto& [key, state] : now) {
        if (!copy.contains(key)) {
            differences[key] = {key.first, key.second, std::nullopt, state};
        }
    }
    std::vector<BatchDifference> out;
    for (auto& [key, d] : differences) {
        out.push_back(std::move(d));
    }
    return out;
}

}  // namespace kiv::store
