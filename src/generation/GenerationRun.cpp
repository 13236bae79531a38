#include "generation/GenerationRun.h"

#include <optional>
#include <span>

#include "database/Checked.h"
#include "database/Connection.h"
#include "database/Rows.h"
#include "database/Trace.h"
#include "database/Values.h"
#include "generation/BatchHeader.h"
#include "generation/BatchWriter.h"
#include "generation/ChannelFees.h"
#include "generation/FeeSchedule.h"
#include "generation/ItemAmount.h"
#include "generation/StudentStatuses.h"
#include "store/PackageDatabase.h"

namespace kiv::generation {

namespace {

using database::Statement;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

// Students of a class that has items of its own in the group owe those items. The students are
// the outer loop (CROSS JOIN fixes the order) so that each is looked up once, in id order.
Statement classItemStudents(qint64 groupId) {
    return Statement("SELECT A.Stdid,A.Giro,B.Itemid,B.ItemAmt from Kiv7_student A CROSS JOIN ")
        .sql("Kiv13_ClsGrpitem B where B.Grpid = ")
        .number(groupId)
        .sql(" and A.Grade = B.Grade  and A.Clsid = B.Clsid  and A.delmark = 0")
        .sql(" order by A.Stdid,B.Itemid");
}

// Students of a class without items of its own owe the items of their grade (class 0). Whether
// a class has items depends on the student alone (its grade is the item's grade), so the test is
// written on the student's side, where it runs once per student instead of once per item.
Statement gradeItemStudents(qint64 groupId) {
    return Statement("SELECT A.Stdid,A.Giro,B.Itemid,B.ItemAmt from Kiv7_student A CROSS JOIN ")
        .sql("Kiv13_ClsGrpitem B where B.Grpid = ")
        .number(groupId)
        .sql(" and A.delmark = 0")
        .sql(" and not exists (select C.Clsid from Kiv13_ClsGrpitem C where A.Clsid=C.Clsid ")
        .sql(" and A.Grade = C.Grade  and C.Grpid = ")
        .number(groupId)
        .sql(") and  (B.Clsid = 0 and A.Grade = B.Grade ) order by A.Stdid,B.Itemid");
}

// One student while its item rows are read: the items are written as they come, the bill when
// the next student begins or the pass ends.
struct Student {
    QString id;
    qint16 giro = 0;
    qint32 total = 0;
    std::span<const ItemStatus> statuses;
};

// The priced part of a run, inside its transaction: both student passes and the no-bill step.
class Passes {
public:
    Passes(database::Connection& connection, const FeeSchedule& schedule, const QDate& batchDate,
           qint64 groupId, bool deadlineTicked, Screen& screen)
        : m_connection(connection),
          m_schedule(schedule),
          m_screen(screen),
          m_writer(connection, batchDate, groupId, deadlineTicked),
          m_statuses(StudentStatuses::load(connection, groupId)) {}

    void run(const Statement& query) {
        database::Rows rows(m_connection, query);
        std::optional<Student> current;
        while (rows.next()) {
            // A student without an id cannot be billed: the bill would belong to nobody.
            const QString id =
                database::trimBlanks(rows.requiredText(0, QStringLiteral("Kiv7_student.Stdid")));
            if (!current || id != current->id) {
                if (current) {
                    close(*current, false);
                }
                current = begin(id, rows.number(1, QStringLiteral("Giro")));
                m_nothingGenerated = false;
            }
            const qint64 itemId = rows.number(2, QStringLiteral("Itemid"));
            const qint32 A =
                database::narrow<qint32>(rows.number(3, QStringLiteral("ItemAmt")), "ItemAmt");
            const qint32 amount =
                itemAmount(A, StudentStatuses::forItem(current->statuses, itemId));
            m_writer.writeItem(current->id, itemId, amount);
            current->total = database::checkedAdd<qint32>(current->total, amount, "total");
        }
        if (current) {
            close(*current, true);
        }
    }

    void writeNoBills() { m_writer.writeNoBills(); }
    bool nothingGenerated() const { return m_nothingGenerated; }
    const RunTotals& totals() const { return m_totals; }

private:
    Student begin(const QString& id, qint64 giro) {
        Student s;
        s.id = id;
        s.giro = database::narrow<qint16>(giro, "Giro");
        s.statuses = m_statuses.ofStudent(id);
        return s;
    }

    // A student whose items cancel out (or are all waived) gets no bill here and loses the item
    // rows just written; the no-bill step gives it its record.
    void close(const Student& s, bool lastOfPass) {
        if (s.total <= 0) {
            m_writer.deleteItems(s.id);
            return;
        }
        const ChannelCharges charges = channelFees(s.total, s.giro == 0, m_schedule);
        m_totals.addBill(s.total, charges);
        m_writer.writeBill(s.id, s.total, charges);
        m_progress = database::checkedAdd<qint64>(m_progress, 1, "progress");
        // The clerk sees every fifth bill counted, and always the last one of a pass.
        if (lastOfPass || m_progress % 5 == 1) {
            m_screen.setProgress(Tab::Generate, m_progress);
            m_screen.processEvents();
        }
    }

    database::Connection& m_connection;
    const FeeSchedule& m_schedule;
    Screen& m_screen;
    BatchWriter m_writer;
    StudentStatuses m_statuses;
    RunTotals m_totals;
    qint64 m_progress = 0;
    bool m_nothingGenerated = true;
};

}  // namespace

void showDeadlineNotices(const QString& baseFolder, Screen& screen) {
    try {
        kiv::store::PackageConnection connection(baseFolder);
        if (!loadFeeSchedule(connection)) {
            return;
        }
    } catch (const database::Failure&) {
        return;
    }
    screen.showMessage(
        QStringLiteral("首次設定者，請向Morvane公司儲匯處申請新增特戶存款資料條碼檢核方式"),
        Title::Default);
    screen.showMessage(QStringLiteral("ATM繳費無法控管繳費期限"), Title::Default);
}

EngineResult generateBatch(database::Connection& connection, const QDate& batchDate, qint64 groupId,
                           bool deadlineTicked, Screen& screen) {
    using Ending = EngineResult::Ending;
    try {
        const std::optional<FeeSchedule> schedule = loadFeeSchedule(connection);
        if (!schedule) {
            return {Ending::NoSchedule, {}};
        }
        screen.setBusyText(Tab::Generate, QStringLiteral("查詢學生資料"));
        screen.processEvents();
        Passes passes(connection, *schedule, batchDate, groupId, deadlineTicked, screen);
        passes.run(classItemStudents(groupId));
        passes.run(gradeItemStudents(groupId));
        screen.processEvents();
        passes.writeNoBills();
        screen.setBusyText(Tab::Generate, QStringLiteral("執 行 中, 請 稍 後"));
        screen.processEvents();
        // Not even the no-bill records stay when no student had anything in the group.
        if (passes.nothingGenerated()) {
            return {Ending::NothingToWrite, QStringLiteral("無資料可產生")};
        }
        connection.run(batchHeaderStatement(batchDate, groupId, *schedule));
        return {Ending::Written, summaryText(passes.totals())};
    } catch (const database::Failure& f) {
        // Told to the clerk once the transaction has ended, with the database's own description.
        database::traceFailure(QStringLiteral("Kiv2200exe_insert_data"), f.description());
        return EngineResult::failed(f.kind(), f.description());
    } catch (const std::exception& e) {
        const QString description = QString::fromLocal8Bit(e.what());
        database::traceFailure(QStringLiteral("Kiv2200exe_insert_data"), description);
        return EngineResult::failed(database::FailureKind::Database, description);
    }
}

}  // namespace kiv::generation
