#include "BatchWriter.h"

#include <QSqlError>
#include <QSqlQuery>

#include "Rows.h"
#include "Values.h"

namespace kiv::generation {

namespace {

using store::Statement;

// Value positions in the statements below, in the order the values are added.
enum ItemValue { kItemStdid = 0, kItemId = 3, kItemAmt = 4 };
enum BillValue {
    kBillStdid = 0,
    kBillPayAmt = 3,
    kBillFee,
    kBillPreWay,
    kBillNetfee,
    kBillNetATMfee,
    kBillCanUseCVS,
    kBillCVSFee,
    kBillCVSItem,
};

Statement itemInsert(const QDate& tranDay, qint64 groupId) {
    return Statement("insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) values(")
        .text({})
        .sql(",")
        .date(tranDay)
        .sql(",")
        .number(groupId)
        .sql(",")
        .number(0)
        .sql(",")
        .number(0)
        .sql(")");
}

// Every bill is written unlocked; only the package's unlock program ever clears a lock.
Statement billInsert(const QDate& tranDay, qint64 groupId, bool deadlineTicked) {
    return Statement(
               "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data,Netfee,"
               "NetATMfee,CanUseCVS,CVSFee,CVSItem,Check_DL) values(")
        .text({})
        .sql(",")
        .date(tranDay)
        .sql(",")
        .number(groupId)
        .sql(",")
        .number(0)
        .sql(",")
        .number(0)
        .sql(",")
        .text({})
        .sql(",'0',")
        .number(0)
        .sql(",")
        .number(0)
        .sql(",")
        .yesNo(false)
        .sql(",")
        .number(0)
        .sql(",")
        .text({})
        .sql(",")
        .text(deadlineTicked ? QStringLiteral("1") : QStringLiteral("0"))
        .sql(")");
}

Statement itemsDelete(const QDate& tranDay, qint64 groupId) {
    return Statement("delete from KIV9_Payitem where Stdid=")
        .text({})
        .sql(" and TranDay=")
        .date(tranDay)
        .sql(" and Grpid=")
        .number(groupId);
}

// A student is left out when any record of the batch carries the id, which is why the batch must
// be empty before the run begins. Records carry trimmed ids, so the student's id is compared
// trimmed too: a stored id with blanks around it would otherwise get a bill and a no-bill record.
Statement studentsWithoutRecord(const QDate& tranDay, qint64 groupId) {
    return Statement("SELECT B.Stdid from Kiv7_student B")
        .sql(" where B.stdid not in(select A.stdid from Kiv8_Payment A where A.TranDay = ",
             " where ifnull(trim(B.stdid),'') not in(select A.stdid from Kiv8_Payment A where A.TranDay = ")
        .date(tranDay)
        .sql(" and A.Grpid = ")
        .number(groupId)
        .sql(") and B.delmark = 0");
}

Statement noBillInsert(const QDate& tranDay, qint64 groupId) {
    return Statement("insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay) values(")
        .text({})
        .sql(",")
        .date(tranDay)
        .sql(",")
        .number(groupId)
        .sql(",0,0,'3')");
}

}  // namespace

BatchWriter::BatchWriter(store::Connection& connection, const QDate& tranDay, qint64 groupId,
                         bool deadlineTicked)
    : m_connection(connection),
      m_tranDay(tranDay),
      m_groupId(groupId),
      m_item(connection, itemInsert(tranDay, groupId)),
      m_bill(connection, billInsert(tranDay, groupId, deadlineTicked)),
      m_deleteItems(connection, itemsDelete(tranDay, groupId)) {}

void BatchWriter::writeItem(const QString& stdid, qint64 itemId, qint32 amount) {
    Statement& s = m_item.statement();
    s.setText(kItemStdid, stdid);
    s.setNumber(kItemId, itemId);
    s.setNumber(kItemAmt, amount);
    m_item.run();
}

void BatchWriter::writeBill(const QString& stdid, qint32 total, const ChannelCharges& c) {
    Statement& s = m_bill.statement();
    s.setText(kBillStdid, stdid);
    s.setNumber(kBillPayAmt, total);
    s.setNumber(kBillFee, c.Fee);
    s.setText(kBillPreWay, QString(QLatin1Char(c.PreWay)));
    s.setNumber(kBillNetfee, c.Netfee);
    s.setNumber(kBillNetATMfee, c.NetATMfee);
    s.setYesNo(kBillCanUseCVS, c.CanUseCVS);
    s.setNumber(kBillCVSFee, c.CVSFee);
    s.setText(kBillCVSItem, c.CVSItem);
    m_bill.run();
}

void BatchWriter::deleteItems(const QString& stdid) {
    m_deleteItems.statement().setText(0, stdid);
    m_deleteItems.run();
}

void BatchWriter::writeNoBills() {
    store::Command insert(m_connection, noBillInsert(m_tranDay, m_groupId));
    store::Rows students(m_connection, studentsWithoutRecord(m_tranDay, m_groupId));
    while (students.next()) {
        insert.statement().setText(0, store::trimBlanks(students.text(0)));
        insert.run();
    }
}

}  // namespace kiv::generation
