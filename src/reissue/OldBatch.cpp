#include "reissue/OldBatch.h"

#include "database/Failure.h"
#include "database/Rows.h"
#include "database/Values.h"

namespace kiv::reissue {

namespace {

using database::Statement;

Statement headerScheduleQuery(const QDate& tranDay, qint64 groupId) {
    return Statement("SELECT TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,")
        .sql("NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee")
        .sql(",NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee")
        .sql(",IsUseCVS,CVSName,CVSItem1,CVSSmallamt,CVSSmallUserFee,CVSSmallGiroFee")
        .sql(",CVSItem2,CVSBtwnAmt,CVSBtwnUserFee,CVSBtwnGiroFee,CVSMaxAmt")
        .sql(",CVSItem3,CVSExcdUserFee,CVSExcdGiroFee")
        .sql(" from KIV10_Agency where TranDay=")
        .date(tranDay)
        .sql(" and GrpID =")
        .number(groupId);
}

// Only students that a bill of the batch names, by their trimmed id, which is how the look-up
// asks for them.
Statement batchGiroQuery(const QDate& tranDay, qint64 groupId) {
    return Statement("SELECT C.Stdid,C.giro from Kiv7_student C where C.Stdid in")
        .sql(" (select trim(A.Stdid) from KIV8_PayMent A where A.TranDay = ")
        .date(tranDay)
        .sql(" and A.Grpid = ")
        .number(groupId)
        .sql(")", ")", ") order by C.kiv_seq");
}

// One student's look-up as the system writes it; built only for a failure message.
Statement giroLookUp(const QString& stdid) {
    return Statement("SELECT Stdid,giro from Kiv7_student  where Stdid=").text(stdid);
}

}  // namespace

std::optional<generation::FeeSchedule> loadHeaderSchedule(database::Connection& connection,
                                                          const QDate& tranDay, qint64 groupId,
                                                          LastStatement& last) {
    database::Rows q(connection, last.keep(headerScheduleQuery(tranDay, groupId)));
    if (!q.next()) {
        return std::nullopt;
    }
    return generation::readFeeSchedule(q);
}

Statement oldItemsQuery(const QDate& tranDay, qint64 groupId, const QString& billConditions) {
    return Statement(
               "SELECT A.Stdid,A.PreWay,B.Itemid,B.ItemAmt from KIV8_Payment A,KIV9_PayItem B ")
        .sql("where A.Grpid = ")
        .number(groupId)
        .sql(" and A.TranDay = ")
        .date(tranDay)
        .sql(" and A.Stdid = B.Stdid and A.TranDay = B.TranDay  and A.Grpid = B.Grpid")
        .sql(billConditions)
        // Run as the equivalent correlated test: probing the student index for each bill costs
        // less than listing every active student first.
        .sql(" and A.stdid in (select stdid from Kiv7_student C where C.delmark = 0)",
             " and exists (select 1 from Kiv7_student C where C.stdid = A.stdid and C.delmark = 0)")
        .sql(" order by A.Stdid,B.Itemid");
}

void StudentGiro::load() {
    database::Rows q(m_connection, m_last.keep(batchGiroQuery(m_tranDay, m_groupId)));
    while (q.next()) {
        // The look-up answers with the first row of an id; here as there, the rows of one id come
        // in the order they were written (rowid on the file, the sequence column on the server).
        const QString id = q.text(0);
        if (!m_giro.contains(id)) {
            m_giro.insert(id, q.value(1));
        }
    }
    m_loaded = true;
}

qint16 StudentGiro::of(const QString& stdid) {
    if (!m_loaded) {
        try {
            load();
        } catch (const database::Failure&) {
            // The clerk is shown the look-up of the student being priced, not the batched query.
            m_last.keep(giroLookUp(stdid));
            throw;
        }
    }
    const auto found = m_giro.constFind(stdid);
    if (found == m_giro.constEnd()) {
        m_last.keep(giroLookUp(stdid));
        throw database::Failure(database::FailureKind::Database,
                                QStringLiteral("查無學生資料 (%1)").arg(stdid));
    }
    try {
        return database::readInt<qint16>(found.value(), QStringLiteral("giro"));
    } catch (const database::Failure&) {
        m_last.keep(giroLookUp(stdid));
        throw;
    }
}

}  // namespace kiv::reissue
