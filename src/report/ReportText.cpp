#include "report/ReportText.h"

#include "database/Values.h"
#include "generation/BatchHeader.h"
#include "screen/Texts.h"

namespace kiv::report {

namespace {

QString yuan(std::optional<qint64> amount) {
    return amount ? Texts::tr("%1 yuan").arg(amountText(amount)) : Texts::tr("not set");
}

// below 100 yuan: 10 yuan; 100 to 900 yuan: 15 yuan; above 900 yuan: 20 yuan
QString bandsText(const FeeBands& b) {
    return Texts::tr("below %1: %2; %3 to %4: %5; above %6: %7")
        .arg(yuan(b.from), yuan(b.small), amountText(b.from), yuan(b.to), yuan(b.between),
             yuan(b.to), yuan(b.excess));
}

// The small band takes totals below its bound, the middle one from there up to and including
// its own, the excess one those above the middle one's up to and including its own; a band is
// offered only above its giro amount.
QString storesText(const BatchHeader& h) {
    if (!h.usesStores) {
        return Texts::tr("not used");
    }
    QStringList parts{h.storeName};
    for (size_t i = 0; i < h.storeBands.size(); ++i) {
        const StoreBand& b = h.storeBands[i];
        const QString below = i == 0 ? QString() : amountText(h.storeBands[i - 1].upTo);
        const QString range = i == 0   ? Texts::tr("below %1").arg(yuan(b.upTo))
                              : i == 1 ? Texts::tr("%1 to %2").arg(below, yuan(b.upTo))
                                       : Texts::tr("above %1 to %2").arg(below, yuan(b.upTo));
        parts << Texts::tr("%1 %2: %3 (only above %4)")
                     .arg(b.item, range, yuan(b.payerFee), yuan(b.giroFee));
    }
    return parts.join(Texts::tr("; "));
}

QString countText(qint64 count) {
    return Texts::tr("%1 bills").arg(amountText(count));
}

QString totalText(const QString& what, const Total& t) {
    return Texts::tr("%1: %2, amount %3").arg(what, countText(t.count), yuan(t.amount));
}

}  // namespace

QString standingName(Standing standing) {
    switch (standing) {
        case Standing::Locked:
            return Texts::tr("locked");
        case Standing::Settled:
            return Texts::tr("settled");
        case Standing::Failed:
            return Texts::tr("failed transfer");
        case Standing::NoBill:
            return Texts::tr("no bill");
        case Standing::Unpaid:
            break;
    }
    return Texts::tr("unpaid");
}

QString statusText(const Bill& bill) {
    const Standing standing = bill.standing();
    const QString failure = Texts::tr("failed transfer: %1").arg(bill.failure);
    if (standing == Standing::Failed) {
        return failure;
    }
    QStringList also;
    if (standing == Standing::Locked && bill.settled) {
        also << standingName(Standing::Settled);
    }
    if (bill.failed()) {
        also << (bill.settled ? Texts::tr("earlier %1").arg(failure) : failure);
    }
    const QString name = standingName(standing);
    return also.isEmpty() ? name : Texts::tr("%1 (%2)").arg(name, also.join(Texts::tr("; ")));
}

QString amountText(std::optional<qint64> amount) {
    return amount ? generation::groupedNumber(*amount) : QString();
}

QString classText(const ClassKey& key) {
    if (!key.first && !key.second) {
        return Texts::tr("student ids not in the student data");
    }
    const auto part = [](std::optional<qint64> n) { return n ? QString::number(*n) : "?"; };
    return Texts::tr("grade %1 class %2").arg(part(key.first), part(key.second));
}

QString groupText(const BatchHeader& header) {
    return (QString::number(header.groupId) + " " + header.groupName).trimmed();
}

QStringList headerLines(const BatchHeader& h) {
    return {Texts::tr("Collection batch report"),
            Texts::tr("Payment group: %1").arg(groupText(h)),
            Texts::tr("Collection date: %1").arg(database::rocAndIsoText(h.day)),
            Texts::tr("Transfer fee: %1").arg(yuan(h.transferFee)),
            Texts::tr("Counter fees: %1").arg(bandsText(h.counter)),
            Texts::tr("Online banking fees: %1").arg(bandsText(h.online)),
            Texts::tr("ATM fees: %1").arg(bandsText(h.atm)),
            Texts::tr("Convenience stores: %1").arg(storesText(h))};
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
        QString part = Texts::tr("%1 %2").arg(standingName(standing), countText(t.count(standing)));
        if (standing == Standing::Settled && t.settledAfterFailure > 0) {
            part += Texts::tr(" (%1 of them after a failed transfer)")
                        .arg(countText(t.settledAfterFailure));
        }
        parts << part;
    }
    return Texts::tr("%1, %2 in all").arg(parts.join(Texts::tr(", ")), countText(t.all.count));
}

QString standingsNote() {
    return Texts::tr(
        "Each bill counts under one status, the first that applies: locked (whatever else it "
        "is), settled (even after a failed transfer), failed transfer, no bill (a record "
        "without one), unpaid.");
}

QStringList totalLines(const BatchTotals& t) {
    QStringList lines{
        Texts::tr("%1, fees %2").arg(totalText(Texts::tr("all"), t.all), yuan(t.fees))};
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
