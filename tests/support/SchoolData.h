#pragma once
// Small builders for the school tables a generation run reads, over a TestBase database.

#include <QString>
#include <QVariant>

#include "QtPrinting.h"
#include "TestBase.h"

namespace kiv::test {

class SchoolData : public TestBase {
public:
    explicit SchoolData(Encoding encoding = Encoding::Utf8) : TestBase(encoding) {}
    // A schedule with the example bands: counter 100..900 (fees 10/15/20), online 200..800
    // (5/6/7), ATM 300..700 (1/2/3), transfer fee 8, no convenience stores.
    void addSchedule() const {
        exec(
            "insert into Kiv2_school(TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,"
            "NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee,"
            "NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee,IsUseCVS)"
            " values(8,100,900,10,15,20,200,800,5,6,7,300,700,1,2,3,0)");
    }
    // Adds the convenience-store bands of the example: below 200 A1, to 400 A2, to 600 A3, giro
    // fees 10/12/15, payer fees 20/25/30.
    void useStores() const {
        exec(
            "update Kiv2_school set IsUseCVS=-1,CVSName='Store',CVSItem1='A1',CVSItem2='A2',"
            "CVSItem3='A3',CVSSmallamt=200,CVSBtwnAmt=400,CVSMaxAmt=600,CVSSmallUserFee=20,"
            "CVSBtwnUserFee=25,CVSExcdUserFee=30,CVSSmallGiroFee=10,CVSBtwnGiroFee=12,"
            "CVSExcdGiroFee=15");
    }
    void addStudent(const QString& id, int giro, int grade, int cls, int delmark = 0) const {
        exec("insert into Kiv7_student(Stdid,Giro,Grade,Clsid,delmark) values(?,?,?,?,?)",
             {id, giro, grade, cls, delmark});
    }
    // cls 0: an item of the whole grade.
    void addItem(int group, int grade, int cls, int item, qint64 amount) const {
        exec("insert into Kiv13_ClsGrpitem(Grpid,Grade,Clsid,Itemid,ItemAmt) values(?,?,?,?,?)",
             {group, grade, cls, item, amount});
    }
};

}  // namespace kiv::test
