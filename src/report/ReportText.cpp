#include "report/ReportText.h"

#include "database/Values.h"
#include "generation/BatchHeader.h"

namespace kiv::report {

namespace {

QString yuan(std::optional<qint64> amount) {
    return amount ? amountText(amount) + " 元" : QStringLiteral("未設定");
}

// 未滿 100 元：10 元；100 至 900 元：15 元；超過 900 元：20 元
QString bandsText(const FeeBands& b) {
    return "未滿 " + yuan(b.from) + "：" + yuan(b.small) + "；" + amountText(b.from) + " 至 " +
           yuan(b.to) + "：" + yuan(b.between) + "；超過 " + yuan(b.to) + "：" + yuan(b.excess);
}

// The small band takes totals below its bound, the middle one from there up to and including
// its own, the excess one those above the middle one's up to and including its own; a band is
// offered only above its giro amount.
QString storesText(const BatchHeader& h) {
    if (!h.usesStores) {
        return QStringLiteral("不使用");
    }
    QStringList parts{h.storeName};
    for (size_t i = 0; i < h.storeBands.size(); ++i) {
        const StoreBand& b = h.storeBands[i];
        const QString below = i == 0 ? QString() : amountText(h.storeBands[i - 1].upTo);
        const QString range = i == 0   ? "未滿 " + yuan(b.upTo)
                              : i == 1 ? below + " 至 " + yuan(b.upTo)
                                       : "超過 " + below + " 至 " + yuan(b.upTo);
        parts << b.item + " " + range + "：" + yuan(b.payerFee) + "（金額須超過 " +
                     yuan(b.giroFee) + "）";
    }
    return parts.join("；");
}

QString countText(qint64 count) {
    return amountText(count) + " 筆";
}

QString totalText(const QString& what, const Total& t) {
    return what + "：" + countText(t.count) + "，金額 " + yuan(t.amount);
}

}  // namespace

QString standingName(Standing standing) {
    switch (standing) {
        case Standing::Locked:
            return QStringLiteral("已鎖定");
        case Standing::Settled:
            return QStringLiteral("已繳");
        case Standing::Failed:
            return QStringLiteral("轉帳失敗");
        case Standing::NoBill:
            return QStringLiteral("無須繳費");
        case Standing::Unpaid:
            break;
    }
    return QStringLiteral("未繳");
}

QString statusText(const Bill& bill) {
    const Standing standing = bill.standing();
    const QString failure = "轉帳失敗：" + bill.failure;
    if (standing == Standing::Failed) {
        return failure;
    }
    QStringList also;
    if (standing == Standing::Locked && bill.settled) {
        also << "已繳";
    }
    if (bill.failed()) {
        also << (bill.settled ? "先前" + failure : failure);
    }
    const QString name = standingName(standing);
    return also.isEmpty() ? name : name + "（" + also.join("；") + "）";
}

QString amountText(std::optional<qint64> amount) {
    return amount ? generation::groupedNumber(*amount) : QString();
}

QString classText(const ClassKey& key) {
    if (!key.first && !key.second) {
        return QStringLiteral("學生資料中沒有的學號");
    }
    const auto part = [](std::optional<qint64> n) { return n ? QString::number(*n) : "?"; };
    return part(key.first) + " 年 " + part(key.second) + " 班";
}

QString groupText(const BatchHeader& header) {
    return (QString::number(header.groupId) + " " + header.groupName).trimmed();
}

QStringList headerLines(const BatchHeader& h) {
    return {"收款批次報表",
            "繳費群組：" + groupText(h),
            "收款日期：" + database::rocAndIsoText(h.day),
            "轉帳手續費：" + yuan(h.transferFee),
            "臨櫃手續費：" + bandsText(h.counter),
            "網路銀行手續費：" + bandsText(h.online),
            "ATM 手續費：" + bandsText(h.atm),
            "超商代收：" + storesText(h)};
}

std::vector<Channel> shownChannels(const BatchTotals& totals) {
    std::vector<Channel> shown;
    for (int c = 0; c < kChannels; ++c) {
        const Channel channel = static_cast<Channel>(c);
        if (totals.of(channel).count > 0 || channel == Channel::Transfer ||
            channel == Channel::Counter) {
            shown.push_back(channel);
        }
    }
    return shown;
}

QString countsText(const BatchTotals& t) {
    QStringList parts;
    for (int s = 0; s < kStandings; ++s) {
        const Standing standing = static_cast<Standing>(s);
        QString part = standingName(standing) + " " + countText(t.count(standing));
        if (standing == Standing::Settled && t.settledAfterFailure > 0) {
            part += "（其中先前轉帳失敗 " + countText(t.settledAfterFailure) + "）";
        }
        parts << part;
    }
    return parts.join("，") + "，合計 " + countText(t.all.count);
}

QString standingsNote() {
    return QStringLiteral(
        "每筆只計入一種狀態，依序取第一個符合者：已鎖定（不論其他狀態）、已繳（即使先前轉帳失敗）、"
        "轉帳失敗、無須繳費（無帳單者）、未繳。");
}

QStringList totalLines(const BatchTotals& t) {
    QStringList lines{totalText("全部", t.all) + "，手續費 " + yuan(t.fees)};
    for (const Channel channel : shownChannels(t)) {
        lines << totalText(channelName(channel), t.of(channel));
    }
    for (const auto& [key, total] : t.classes) {
        lines << totalText(classText(key), total);
    }
    lines << countsText(t) << standingsNote();
    return lines;
}

}  // namespace kiv::report
