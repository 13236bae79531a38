#pragma once
// A small school for the tab pipelines: a fee schedule, group 1 with a grade item, three students
// (one at the counter), and a recording screen per command.

#include <QDir>

#include "RecordingScreen.h"
#include "TestBase.h"
#include "commands/TabPipelines.h"
#include "store/SelectionLists.h"

namespace kiv::test {

inline const QDate kToday(2026, 12, 7);

struct School : TestBase {
    explicit School(Encoding encoding = Encoding::Utf8) : TestBase(encoding) {
        exec(
            "insert into "
            "Kiv2_school(TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,NetSndAmt,NetTrdAmt,"
            "NetSmallFee,NetBtwnFee,NetExcdFee,NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,"
            "NetATMBtwnFee,"
            "NetATMexcdFee,IsUseCVS) values(8,100,900,10,15,20,200,800,5,6,7,300,700,1,2,3,0)");
        addGroup(1, "學費");
        exec("insert into Kiv13_ClsGrpitem(Grpid,Grade,Clsid,Itemid,ItemAmt) values(1,1,0,1,500)");
        for (const auto& [id, giro] :
             {std::pair{"S1", 0}, std::pair{"S2", 0}, std::pair{"S3", 1}}) {
            exec("insert into Kiv7_student(Stdid,Giro,Grade,Clsid,delmark) values(?,?,1,1,0)",
                 {id, giro});
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
    QStringList mdbFiles() const { return QDir(path() + "/mdb").entryList(QDir::Files); }
};

inline kiv::store::ListChoice group1() {
    return {"學費", QString("1")};
}

struct Recorded {
    RecordingScreen screen;
    kiv::commands::CommandContext context(const TestBase& base) {
        return {base.path(), kToday, screen};
    }
};

}  // namespace kiv::test
