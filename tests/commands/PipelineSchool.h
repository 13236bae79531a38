#pragma once
// A small school for the tab pipelines: a fee schedule, group 1 with a grade item, three students
// (one at the counter), and a recording screen per command.

#include <QDir>

#include "RecordingScreen.h"
#include "SchoolData.h"
#include "TestClocks.h"
#include "commands/TabPipelines.h"
#include "store/SelectionLists.h"

namespace kiv::test {

struct School : SchoolData {
    explicit School(Encoding encoding = Encoding::Utf8) : SchoolData(encoding) {
        addSchedule();
        addGroup(1, "學費");
        addItem(1, 1, 0, 1, 500);
        for (const auto& [id, giro] :
             {std::pair{"S1", 0}, std::pair{"S2", 0}, std::pair{"S3", 1}}) {
            addStudent(id, giro, 1, 1);
        }
    }
    int bills(const QString& isoDay) const { return rowCount("KIV8_PayMent", isoDay); }
    int headers(const QString& isoDay) const { return rowCount("KIV10_Agency", isoDay); }
    int rowCount(const QString& table, const QString& isoDay) const {
        return scalar("select count(*) from " + table + " where TranDay=? and Grpid=1", {isoDay})
            .toInt();
    }
};

inline kiv::store::ListChoice group1() {
    return {"學費", QString("1")};
}
// Today's entry of the date lists.
inline const kiv::store::ListChoice kListDay{"115/12/07", QString("12/07/2026")};

// The command of `tab` on group 1: a generate of `day`, or the delete of today's batch, or its
// apply or re-collection to `day`.
inline kiv::commands::Outcome runTab(kiv::screen::Tab tab, const kiv::commands::CommandContext& c,
                                     const QDate& day) {
    using namespace kiv::commands;
    using kiv::screen::Tab;
    return tab == Tab::Generate ? runGenerate(c, {day, group1(), false})
           : tab == Tab::Delete ? runDelete(c, {kListDay, group1()})
           : tab == Tab::Apply  ? runApply(c, {kListDay, group1(), day})
                                : runRecollect(c, {kListDay, group1(), day});
}

// Today's batch of group 1, written by a generate of its own, on `screen` or on a screen of its
// own.
inline kiv::commands::Outcome generate(const TestBase& school, kiv::screen::Screen& screen) {
    return kiv::commands::runGenerate({school.path(), kToday, screen}, {kToday, group1(), false});
}
inline kiv::commands::Outcome generate(const TestBase& school) {
    RecordingScreen screen;
    return generate(school, screen);
}

struct Recorded {
    RecordingScreen screen;
    kiv::commands::CommandContext context(const TestBase& base) {
        return {base.path(), kToday, screen};
    }
};

}  // namespace kiv::test
