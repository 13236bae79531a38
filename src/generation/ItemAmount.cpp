#include "generation/ItemAmount.h"

#include "database/Checked.h"
#include "database/Values.h"

namespace kiv::generation {

namespace {

// Rounds a share of an amount the way the school's ledger does: halves to the even neighbour.
qint32 roundedShare(double share) {
    return database::narrow<qint32>(static_cast<qint64>(database::roundHalfEven(share)), "round");
}

}  // namespace

qint32 itemAmount(qint32 A, const StatusAggregates& statuses) {
    // Credit items are never touched by statuses.
    if (A < 0) {
        return A;
    }
    if (statuses.waived) {
        return 0;
    }
    // D is the amount taken off; negative when the statuses add to the item.
    qint32 D = 0;
    if (!statuses.maxSubamt.isNull()) {
        D = database::readInt<qint32>(statuses.maxSubamt, QStringLiteral("subamt"));
    }
    // An addition only counts when nothing is taken off.
    if (D == 0 && !statuses.minAddamt.isNull()) {
        D = database::checkedSub<qint32>(
            0, database::readInt<qint32>(statuses.minAddamt, QStringLiteral("addamt")), "addamt");
    }
    if (!statuses.minReviseRate.isNull()) {
        const qint32 r =
            database::readInt<qint32>(statuses.minReviseRate, QStringLiteral("reviseRate"));
        if (r > 0) {
            qint32 x = 0;
            if (A > 0) {
                const qint32 product = database::checkedMul<qint32>(A, r, "ItemAmt * reviseRate");
                x = database::checkedSub<qint32>(A, roundedShare(product / 100.0), "ItemAmt");
            }
            // With nothing else taken off, a rate above 100 does raise the amount.
            if (D == 0 || D < x) {
                D = x;
            }
        }
    }
    // Thirds win over a smaller reduction, and over an addition.
    if (statuses.onethird) {
        const qint32 x = A > 0 ? A - roundedShare(A / 3.0) : 0;
        if (D <= x) {
            D = x;
        }
    }
    if (statuses.twothirds) {
        qint32 x = 0;
        if (A > 0) {
            const qint32 twice = database::checkedMul<qint32>(2, A, "2 * ItemAmt");
            x = A - roundedShare(twice / 3.0);
        }
        if (D <= x) {
            D = x;
        }
    }
    const qint32 amount = database::checkedSub<qint32>(A, D, "ItemAmt");
    return amount < 0 ? 0 : amount;
}

}  // namespace kiv::generation
