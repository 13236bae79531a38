#include "reissue/ReissueWriter.h"

#include "database/Failure.h"
#include "database/Rows.h"
#include "database/Values.h"
#include "generation/BatchStatements.h"

namespace kiv::reissue {

namespace {

using database::Statement;

// The statement is kept before it is prepared, so that one the database refuses to prepare is
// the one the failure message shows.
database::PreparedStatement prepared(database::Connection& connection, Statement statement,
                                     LastStatement& last) {
    last.keep(statement);
    return database::PreparedStatement(connection, std::move(statement));
}

// A missing value is shown as the item's spliced statement reads: an empty place.
void bindNumber(Statement& s, int position, const std::optional<qint64>& value) {
    if (value) {
        s.setNumber(position, *value);
    } else {
        s.setSplicedNull(position);
    }
}

}  // namespace

// Every bill is written unlocked; Check_DL belongs to generation and is left unset here.
Statement ReissueWriter::billInsert(const QDate& tranDay, qint64 groupId,
                                    const std::optional<QDate>& markedDay, BillPositions& at) {
    Statement s("insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,");
    s.sql(markedDay ? "TranDay2,lock_data,NetFee,NetATMfee,CanUseCVS,CVSFee,CVSItem) values("
                    : "lock_data,NetFee,NetATMfee,CanUseCVS,CVSFee,CVSItem) values(");
    at.stdid = s.valueCount();
    s.text({}).sql(",").date(tranDay).sql(",").number(groupId).sql(",");
    at.payAmt = s.valueCount();
    s.number(0).sql(",");
    at.fee = s.valueCount();
    s.number(0).sql(",");
    at.preWay = s.valueCount();
    s.text({}).sql(",");
    if (markedDay) {
        s.date(*markedDay).sql(",");
    }
    s.sql("'0',");
    at.netFee = s.valueCount();
    s.number(0).sql(",");
    at.netATMfee = s.valueCount();
    s.number(0).sql(",");
    at.canUseCVS = s.valueCount();
    s.yesNo(false).sql(",");
    at.cvsFee = s.valueCount();
    s.number(0).sql(",");
    at.cvsItem = s.valueCount();
    s.text({}).sql(")");
    return s;
}

ReissueWriter::ReissueWriter(database::Connection& connection, const QDate& tranDay, qint64 groupId,
                             const std::optional<QDate>& markedDay, LastStatement& last)
    : m_connection(connection),
      m_tranDay(tranDay),
      m_groupId(groupId),
      m_last(last),
      m_item(prepared(connection, generation::itemInsert(tranDay, groupId), last)),
      m_bill(prepared(connection, billInsert(tranDay, groupId, markedDay, m_billAt), last)),
      m_noBill(prepared(connection, generation::noBillInsert(tranDay, groupId), last)) {}

void ReissueWriter::writeItem(const QString& stdid, const std::optional<qint64>& itemId,
                              const std::optional<qint64>& itemAmt) {
    Statement& s = m_item.statement();
    s.setText(generation::kItemStdid, stdid);
    bindNumber(s, generation::kItemId, itemId);
    bindNumber(s, generation::kItemAmt, itemAmt);
    m_last.follow(s);
    // Bound, a Null would be stored silently; the item row needs both values.
    if (!itemId) {
        database::failNullUse(QStringLiteral("Itemid"));
    }
    if (!itemAmt) {
        database::failNullUse(QStringLiteral("ItemAmt"));
    }
    m_item.run();
}

void ReissueWriter::writeBill(const QString& stdid, qint32 total,
                              const generation::ChannelCharges& c) {
    Statement& s = m_bill.statement();
    s.setText(m_billAt.stdid, stdid);
    s.setNumber(m_billAt.payAmt, total);
    s.setNumber(m_billAt.fee, c.Fee);
    s.setText(m_billAt.preWay, QString(QLatin1Char(c.PreWay)));
    s.setNumber(m_billAt.netFee, c.Netfee);
    s.setNumber(m_billAt.netATMfee, c.NetATMfee);
    s.setYesNo(m_billAt.canUseCVS, c.CanUseCVS);
    s.setNumber(m_billAt.cvsFee, c.CVSFee);
    s.setText(m_billAt.cvsItem, c.CVSItem);
    m_last.follow(s);
    m_bill.run();
}

void ReissueWriter::writeNoBills() {
    database::Rows students(m_connection,
                            m_last.keep(generation::studentsWithoutRecord(m_tranDay, m_groupId)));
    Statement& insert = m_noBill.statement();
    while (students.next()) {
        insert.setText(0, database::trimBlanks(
                              students.requiredText(0, QStringLiteral("Kiv7_student.Stdid"))));
        m_last.follow(insert);
        m_noBill.run();
    }
}

}  // namespace kiv::reissue
