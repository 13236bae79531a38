#pragma once
// What the re-issue engines read of the batch they start from: the fee schedule frozen in its
// header, the item rows of its bills (students still active only), and the giro value of each
// of its students. Reading only; nothing here writes.

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>

#include "database/Connection.h"
#include "database/Statement.h"
#include "generation/FeeSchedule.h"
#include "reissue/LastStatement.h"

namespace kiv::reissue {

// The schedule of the header of batch (tranDay, groupId); nothing when the batch has no header.
std::optional<generation::FeeSchedule> loadHeaderSchedule(database::Connection& connection,
                                                          const QDate& tranDay, qint64 groupId,
                                                          LastStatement& last);

// Stdid, PreWay, Itemid, ItemAmt of the item rows of batch (tranDay, groupId) whose students are
// still active, by student then item. billConditions (fixed SQL, no values) narrows the bills.
database::Statement oldItemsQuery(const QDate& tranDay, qint64 groupId,
                                  const QString& billConditions);

// The giro value of a student, as "SELECT Stdid,giro from Kiv7_student where Stdid=..." answers
// it (the first row with exactly that id). The values of all students that a bill of the batch
// names are read in one query on the first look-up, instead of one query per student.
class StudentGiro {
public:
    StudentGiro(database::Connection& connection, const QDate& tranDay, qint64 groupId,
                LastStatement& last)
        : m_connection(connection), m_tranDay(tranDay), m_groupId(groupId), m_last(last) {}

    // Throws database::Failure for a Null or out-of-width giro, and for an id that no student row
    // carries exactly: that student cannot be priced.
    qint16 of(const QString& stdid);

private:
    void load();

    database::Connection& m_connection;
    QDate m_tranDay;
    qint64 m_groupId;
    LastStatement& m_last;
    bool m_loaded = false;
    QHash<QString, QVariant> m_giro;
};

}  // namespace kiv::reissue
