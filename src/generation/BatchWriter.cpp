#include "generation/BatchWriter.h"

#include "database/Failure.h"
#include "database/Rows.h"
#include "database/Values.h"
#include "generation/BatchStatements.h"

namespace kiv::generation {

namespace {

using database::Statement;

// Value positions in the statements below, in the order the values are added.
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
    kBillCheckDL,
};

// Every bill is written unlocked; only the package's unlock program ever clears a lock.
Statement billInsert(const QDate& tranDay, qint64 groupId, bool deadlineTicked) {
    using Form = Statement::Form;
    Statement s = Statement(
                      "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data,"
                      "Netfee,NetATMfee,CanUseCVS,CVSFee,CVSItem,Check_DL) values(")
                      .placeholders({Form::Text, Form::Date, Form::Number, Form::Number,
                                     Form::Number, Form::Text})
                      .sql(",'0',")
                      .placeholders({Form::Number, Form::Number, Form::YesNo, Form::Number,
                                     Form::Text, Form::Text})
                      .sql(")");
    s.setDate(1, tranDay);
    s.setNumber(2, groupId);
    s.setText(kBillCheckDL, deadlineTicked ? QStringLiteral("1") : QStringLiteral("0"));
    return s;
}

Statement itemsDelete(const QDate& tranDay, qint64 groupId) {
    return Statement("delete from KIV9_Payitem where Stdid=")
        .text({})
        .sql(" and TranDay=")
        .date(tranDay)
        .sql(" and Grpid=")
        .number(groupId);
}

}  // namespace

BatchWriter::BatchWriter(database::Connection& connection, const QDate& tranDay, qint64 groupId,
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
    database::PreparedStatement insert(m_connection, noBillInsert(m_tranDay, m_groupId));
    database::Rows students(m_connection, studentsWithoutRecord(m_tranDay, m_groupId));
    while (students.next()) {
        insert.statement().setText(0, database::trimBlanks(students.requiredText(
                                          0, QStringLiteral("Kiv7_student.Stdid"))));
        insert.run();
    }
}

}  // namespace kiv::generation
