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
    int bills(const QString& isoDay, int group = 1) const {
        return scalar("select count(*) from KIV8_PayMent where TranDay=? and Grpid=?",
                      {isoDay, group})
            .toInt();
    }
    int headers(const QString& isoDay, int group = 1) const {
        return scalar("select count(*) from KIV10_Agency where TranDay=? and Grpid=?",
                      {isoDay, group})
            .toInt();
    }
};

inline kiv::store::ListChoice group1() {
    return {"學費", QString("1")};
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
