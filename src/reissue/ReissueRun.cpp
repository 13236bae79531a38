#include "reissue/ReissueRun.h"

#include <optional>

#include "database/Checked.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"
#include "database/Trace.h"
#include "database/Values.h"
#include "generation/BatchHeader.h"
#include "generation/ChannelFees.h"
#include "generation/FeeSchedule.h"
#include "reissue/LastStatement.h"
#include "reissue/OldBatch.h"
#include "reissue/ReissueWriter.h"

namespace kiv::reissue {

namespace {

using generation::ChannelCharges;
using generation::FeeSchedule;
using generation::RunTotals;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

enum class ScheduleSource { School, OldHeader };
enum class ChannelSource { StudentGiro, OldBillPreWay };
enum class FailureText { DescriptionAndStatement, FeeMessageOnNullUse };

// What sets the two engines apart; the run below is the same for both.
struct Engine {
    const char* routine;  // the name the log gives a failure
    Tab tab;              // whose busy label shows the progress
    ScheduleSource schedule;
    ChannelSource channel;
    qint16 transferChannel;  // the channel value that means payment by transfer
    bool marksOldDate;       // every bill carries the old date in TranDay2
    bool givesNoBills;       // active students without a bill get a no-bill record
    const char* billConditions;
    FailureText failureText;
};

const Engine kApply{
    .routine = "Kiv2200exe_insert_data3",
    .tab = Tab::Apply,
    .schedule = ScheduleSource::School,
    .channel = ChannelSource::StudentGiro,
    .transferChannel = 0,
    .marksOldDate = false,
    .givesNoBills = true,
    .billConditions = "",
    .failureText = FailureText::DescriptionAndStatement,
};

// Only unsettled transfer bills with a failure cause are collected again; a Null FailFac does not
// pass <> ''.
const Engine kRecollect{
    .routine = "Kiv2200exe_insert_data4",
    .tab = Tab::Recollect,
    .schedule = ScheduleSource::OldHeader,
    .channel = ChannelSource::OldBillPreWay,
    .transferChannel = 1,
    .marksOldDate = true,
    .givesNoBills = false,
    .billConditions = " and A.PayStas = 0 and A.PreWay = '1' and A.FailFac <> ''",
    .failureText = FailureText::FeeMessageOnNullUse,
};

// An old header without, say, an online-banking fee cannot price a re-collection.
const QString kFeeMessage = QStringLiteral("新程式須Dalspire費用,套用日期無此費用");

struct Inputs {
    QDate oldDate;
    QDate newDate;
    qint64 groupId;
};

struct Student {
    QString id;
    qint16 channel = 0;
    qint32 total = 0;
};

// The old bill's way of payment, a text such as '1', as a number.
qint16 preWayNumber(const QVariant& value) {
    const QString column = QStringLiteral("PreWay");
    if (value.isNull()) {
        database::failNullUse(column);
    }
    return database::readInt<qint16>(QVariant(database::trimBlanks(value.toString())), column);
}

class Run {
public:
    Run(const Engine& engine, database::Connection& connection, Inputs inputs, Screen& screen)
        : m_engine(engine), m_connection(connection), m_in(std::move(inputs)), m_screen(screen) {}

    generation::EngineResult execute();

private:
    using Ending = generation::EngineResult::Ending;

    Ending build();
    std::optional<FeeSchedule> loadSchedule();
    bool copyItems(database::Rows& rows);
    qint16 channelOf(const QString& id, const QVariant& preWay);
    void close(const Student& student, bool last);
    void release();

    const Engine& m_engine;
    database::Connection& m_connection;
    const Inputs m_in;
    Screen& m_screen;
    LastStatement m_last;
    std::optional<ReissueWriter> m_writer;
    std::optional<StudentGiro> m_giro;
    FeeSchedule m_schedule;
    RunTotals m_totals;
    qint64 m_count = 0;
};

std::optional<FeeSchedule> Run::loadSchedule() {
    if (m_engine.schedule == ScheduleSource::OldHeader) {
        return loadHeaderSchedule(m_connection, m_in.oldDate, m_in.groupId, m_last);
    }
    m_last.keep(generation::feeScheduleQuery());
    return generation::loadFeeSchedule(m_connection);
}

qint16 Run::channelOf(const QString& id, const QVariant& preWay) {
    if (m_engine.channel == ChannelSource::OldBillPreWay) {
        return preWayNumber(preWay);
    }
    return m_giro->of(id);
}

Run::Ending Run::build() {
    const std::optional<FeeSchedule> schedule = loadSchedule();
    if (!schedule) {
        return Ending::NoSchedule;
    }
    m_schedule = *schedule;

    m_screen.setBusyText(m_engine.tab, QStringLiteral("查詢學生資料"));
    m_screen.processEvents();
    m_writer.emplace(m_connection, m_in.newDate, m_in.groupId,
                     m_engine.marksOldDate ? std::optional<QDate>(m_in.oldDate) : std::nullopt,
                     m_last);
    if (m_engine.channel == ChannelSource::StudentGiro) {
        m_giro.emplace(m_connection, m_in.oldDate, m_in.groupId, m_last);
    }
    {
        database::Rows rows(
            m_connection, m_last.keep(oldItemsQuery(m_in.oldDate, m_in.groupId,
                                                    QString::fromLatin1(m_engine.billConditions))));
        if (!copyItems(rows)) {
            return Ending::NothingToWrite;
        }
    }
    if (m_engine.givesNoBills) {
        m_screen.processEvents();
        m_writer->writeNoBills();
    }
    m_screen.setBusyText(m_engine.tab, QStringLiteral("執 行 中, 請 稍 後"));
    m_screen.processEvents();
    m_connection.run(
        m_last.keep(generation::batchHeaderStatement(m_in.newDate, m_in.groupId, m_schedule)));
    return Ending::Written;
}

// Rows come by student, then item: a student's items are copied as they come, its bill is
// written when the next student begins or the rows end. False when there was no row at all.
bool Run::copyItems(database::Rows& rows) {
    std::optional<Student> current;
    while (rows.next()) {
        const QString id = database::trimBlanks(rows.text(0));
        if (!current || id != current->id) {
            if (current) {
                close(*current, false);
            }
            current = Student{id, channelOf(id, rows.value(1)), 0};
        }
        const std::optional<qint64> itemId = rows.optionalNumber(2, "Itemid");
        const std::optional<qint64> itemAmt = rows.optionalNumber(3, "ItemAmt");
        m_writer->writeItem(current->id, itemId, itemAmt);
        current->total = database::checkedAdd<qint32>(
            current->total, database::narrow<qint32>(*itemAmt, "ItemAmt"), "bill total");
    }
    if (!current) {
        return false;
    }
    close(*current, true);
    return true;
}

// Unlike generation, a total of 0 or below is billed and priced like any other.
void Run::close(const Student& s, bool last) {
    m_count = database::checkedAdd<qint64>(m_count, 1, "student count");
    // The clerk sees every fifth student counted, and always the last one.
    if (last || m_count % 5 == 1) {
        m_screen.setProgress(m_engine.tab, m_count);
        m_screen.processEvents();
    }
    const bool transfer = s.channel == m_engine.transferChannel;
    const ChannelCharges charges = channelFees(s.total, transfer, m_schedule);
    m_totals.addBill(s.total, charges);
    m_writer->writeBill(s.id, s.total, charges);
}

void Run::release() {
    m_giro.reset();
    m_writer.reset();
}

generation::EngineResult Run::execute() {
    Ending ending = Ending::NoSchedule;
    try {
        ending = build();
    } catch (const std::exception& e) {
        const auto* failure = dynamic_cast<const database::Failure*>(&e);
        const QString description =
            failure ? failure->description() : QString::fromLocal8Bit(e.what());
        const database::FailureKind kind =
            failure ? failure->kind() : database::FailureKind::Database;
        QString text = description;
        if (m_engine.failureText == FailureText::DescriptionAndStatement) {
            text += failure && !failure->shownStatement().isEmpty() ? failure->shownStatement()
                                                                    : m_last.displayText();
        } else if (kind == database::FailureKind::NullUse) {
            text = kFeeMessage;
        }
        database::traceFailure(QString::fromLatin1(m_engine.routine), description);
        release();
        return generation::EngineResult::failed(kind, text);
    }
    release();
    switch (ending) {
        case Ending::NoSchedule:
            return {ending, {}};
        case Ending::NothingToWrite:
            return {ending, QStringLiteral("查無資料")};
        case Ending::Written:
        case Ending::Failed:
            break;
    }
    return {Ending::Written, generation::summaryText(m_totals)};
}

}  // namespace

generation::EngineResult applyBatch(database::Connection& connection, const QDate& oldDate,
                                    const QDate& newDate, qint64 groupId, Screen& screen) {
    return Run(kApply, connection, {oldDate, newDate, groupId}, screen).execute();
}

generation::EngineResult recollectBatch(database::Connection& connection, const QDate& oldDate,
                                        const QDate& newDate, qint64 groupId, Screen& screen) {
    return Run(kRecollect, connection, {oldDate, newDate, groupId}, screen).execute();
}

}  // namespace kiv::reissue
