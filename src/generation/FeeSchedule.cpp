#include "generation/FeeSchedule.h"

#include "database/Rows.h"
#include "database/Values.h"

namespace kiv::generation {

namespace {

class RowReader {
public:
    explicit RowReader(const database::Rows& row) : m_row(row) {}

    template <std::integral T>
    void number(T& field, const char* column) const {
        const QString name = QString::fromLatin1(column);
        field = database::readInt<T>(cell(name), name);
    }
    // A Null text reads as empty; blanks around a code do not count.
    void text(QString& field, const char* column) const {
        field = database::trimBlanks(database::readText(cell(QString::fromLatin1(column))));
    }
    bool yesNo(const char* column) const {
        const QString name = QString::fromLatin1(column);
        return database::readYesNo(cell(name), name);
    }

private:
    // A column the query lacks reads as Null.
    QVariant cell(const QString& name) const {
        const int at = m_row.column(name);
        return at < 0 ? QVariant() : m_row.value(at);
    }
    const database::Rows& m_row;
};

}  // namespace

FeeSchedule readFeeSchedule(const database::Rows& row) {
    const RowReader r(row);
    FeeSchedule s;
    r.number(s.TranFee, "TranFee");
    r.number(s.SndAmt, "SndAmt");
    r.number(s.TrdAmt, "TrdAmt");
    r.number(s.SmallFee, "SmallFee");
    r.number(s.BtwnFee, "BtwnFee");
    r.number(s.ExcdFee, "ExcdFee");
    r.number(s.NetSndAmt, "NetSndAmt");
    r.number(s.NetTrdAmt, "NetTrdAmt");
    r.number(s.NetSmallFee, "NetSmallFee");
    r.number(s.NetBtwnFee, "NetBtwnFee");
    r.number(s.NetExcdFee, "NetExcdFee");
    r.number(s.NetATMsndamt, "NetATMsndamt");
    r.number(s.NetATMTrdAmt, "NetATMTrdAmt");
    r.number(s.NetATMsmallFee, "NetATMsmallFee");
    r.number(s.NetATMBtwnFee, "NetATMBtwnFee");
    r.number(s.NetATMexcdFee, "NetATMexcdFee");
    s.IsUseCVS = r.yesNo("IsUseCVS");
    // A school without convenience-store payment may hold anything in the store columns; they
    // are never looked at.
    if (!s.IsUseCVS) {
        return s;
    }
    r.text(s.CVSName, "CVSName");
    r.text(s.CVSItem1, "CVSItem1");
    r.text(s.CVSItem2, "CVSItem2");
    r.text(s.CVSItem3, "CVSItem3");
    r.number(s.CVSSmallUserFee, "CVSSmallUserFee");
    r.number(s.CVSSmallGiroFee, "CVSSmallGiroFee");
    r.number(s.CVSSmallamt, "CVSSmallamt");
    if (s.CVSItem2.isEmpty()) {
        return s;
    }
    r.number(s.CVSBtwnAmt, "CVSBtwnAmt");
    r.number(s.CVSBtwnUserFee, "CVSBtwnUserFee");
    r.number(s.CVSBtwnGiroFee, "CVSBtwnGiroFee");
    if (s.CVSItem3.isEmpty()) {
        return s;
    }
    r.number(s.CVSMaxAmt, "CVSMaxAmt");
    r.number(s.CVSExcdUserFee, "CVSExcdUserFee");
    r.number(s.CVSExcdGiroFee, "CVSExcdGiroFee");
    return s;
}

database::Statement feeScheduleQuery() {
    return database::Statement("SELECT TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,")
        .sql("NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee")
        .sql(",NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee")
        .sql(",IsUseCVS,CVSName,CVSItem1,CVSSmallamt,CVSSmallUserFee,CVSSmallGiroFee")
        .sql(",CVSItem2,CVSBtwnAmt,CVSBtwnUserFee,CVSBtwnGiroFee")
        .sql(",CVSItem3,CVSExcdUserFee,CVSExcdGiroFee,CVSMaxAmt")
        // The first row is the one written first: the file's own order, the server's sequence.
        .sql(" from Kiv2_school ", " from Kiv2_school ", " from Kiv2_school order by kiv_seq");
}

std::optional<FeeSchedule> loadFeeSchedule(database::Connection& connection) {
    database::Rows q(connection, feeScheduleQuery());
    if (!q.next()) {
        return std::nullopt;
    }
    return readFeeSchedule(q);
}

}  // namespace kiv::generation
