#include "demo/DemoSchool.h"

#include <iterator>

#include <random>

#include "database/Connection.h"
#include "database/Rows.h"
#include "store/PackageDatabase.h"

namespace kiv::demo {

using kiv::database::Connection;
using kiv::database::PreparedStatement;
using kiv::database::Rows;
using kiv::database::Statement;
using kiv::database::Transaction;

namespace {

using Form = Statement::Form;
constexpr auto Text = Form::Text;
constexpr auto Number = Form::Number;

constexpr int kGrades = 6;
constexpr int kPerClass = 30;

// Item ids of the school's catalogue.
enum Item {
    Tuition = 1,
    Miscellaneous = 2,
    Computer = 3,
    Insurance = 4,
    ParentsAssociation = 5,
    Lunch = 6,
    AfterSchool = 7,
    Textbooks = 8,
    Scholarship = 9,  // a credit: negative amount
    MusicCourse = 10,
};

void writeFeeSchedule(Connection& c) {
    c.run(
        Statement("insert into Kiv2_school(TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,"
                  "NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee,"
                  "NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee,"
                  "IsUseCVS,CVSName,CVSItem1,CVSItem2,CVSItem3,CVSSmallamt,CVSBtwnAmt,CVSMaxAmt,"
                  "CVSSmallUserFee,CVSBtwnUserFee,CVSExcdUserFee,CVSSmallGiroFee,CVSBtwnGiroFee,"
                  "CVSExcdGiroFee)"
                  " values(10,1000,20000,15,20,30, 1000,20000,10,15,20, 1000,20000,12,17,22,"
                  " -1,'四大超商代收','6VA','6VB','6VC',20000,40000,60000, 15,20,25, 10,15,20)"));
}

int writeGroups(Connection& c) {
    PreparedStatement g(c, Statement("insert into KIV6_Group(GrpID,GrpName) values(")
                               .placeholders({Number, Text})
                               .sql(")"));
    const std::pair<int, const char*> groups[] = {
        {kTuitionGroup, "上學期學雜費"},
        {kLunchGroup, "上學期午餐費"},
        {kAfterSchoolGroup, "課後輔導費"},
        {kTextbookGroup, "代收教科書費"},
    };
    for (const auto& [id, name] : groups) {
        g.statement().setNumber(0, id);
        g.statement().setText(1, QString::fromUtf8(name));
        g.run();
    }
    // A group whose name was never entered.
    g.statement().setNumber(0, kUnnamedGroup);
    g.statement().setNull(1);
    g.run();
    return static_cast<int>(std::size(groups)) + 1;
}

// The catalogue: grade-wide items (class 0) and the items of particular classes.
void writeItems(Connection& c, int classesPerGrade) {
    PreparedStatement item(
        c, Statement("insert into Kiv13_ClsGrpitem(Grpid,Grade,Clsid,Itemid,ItemAmt) values(")
               .placeholders({Number, Number, Number, Number, Number})
               .sql(")"));
    auto add = [&](int group, int grade, int cls, int itemId, int amount) {
        Statement& s = item.statement();
        s.setNumber(0, group);
        s.setNumber(1, grade);
        s.setNumber(2, cls);
        s.setNumber(3, itemId);
        s.setNumber(4, amount);
        item.run();
    };
    for (int grade = 1; grade <= kGrades; ++grade) {
        const int step = 250 * grade;
        // Tuition: every class of the grade pays the grade's items ...
        add(kTuitionGroup, grade, 0, Tuition, 5000 + step);
        add(kTuitionGroup, grade, 0, Miscellaneous, 1800 + step / 5);
        add(kTuitionGroup, grade, 0, Computer, 400);
        add(kTuitionGroup, grade, 0, Insurance, 171);
        add(kTuitionGroup, grade, 0, ParentsAssociation, 100);
        if (grade == kGrades) {
            add(kTuitionGroup, grade, 0, Scholarship, -500);
        }
        // ... except the music class, which has class items of its own.
        add(kTuitionGroup, grade, 1, Tuition, 5000 + step);
        add(kTuitionGroup, grade, 1, Miscellaneous, 1800 + step / 5);
        add(kTuitionGroup, grade, 1, MusicCourse, 12000);
        add(kLunchGroup, grade, 0, Lunch, 2850 + 15 * grade);
        // After-school lessons: only the classes that signed up.
        for (int cls = 2; cls <= std::min(3, classesPerGrade); ++cls) {
            add(kAfterSchoolGroup, grade, cls, AfterSchool, 3600);
        }
        add(kTextbookGroup, grade, 0, Textbooks, 1200 + 90 * grade);
    }
    add(kUnnamedGroup, 1, 0, ParentsAssociation, 300);
}

// Statuses and what each does to the items: a waiver, an amount off, an amount added, a
// percentage, one third and two thirds.
int writeStatuses(Connection& c) {
    PreparedStatement sts(
        c, Statement("insert into KIV5_StsItem(stsid,Itemid,allsub,subamt,addamt,reviseRate,"
                     "onethird,twothirds) values(")
               .placeholders({Number, Number, Text, Number, Number, Number, Number, Number})
               .sql(")"));
    enum Kind { Waiver = 2, Off = 3, Added = 4, Rate = 5, Third = 6, TwoThirds = 7 };
    auto add = [&](int status, int itemId, int kind, qint64 value) {
        Statement& s = sts.statement();
        s.setNumber(0, status);
        s.setNumber(1, itemId);
        for (int i = 2; i <= 7; ++i) {
            s.setNull(i);
        }
        if (kind == Waiver) {
            s.setText(Waiver, "V");
        } else {
            s.setNumber(kind, value);
        }
        sts.run();
    };
    for (int it : {Tuition, Miscellaneous, Computer, Lunch}) {
        add(1, it, Waiver, 0);  // low-income household
    }
    add(2, Tuition, Off, 1500);  // near-low-income household
    add(2, Lunch, Off, 500);
    add(3, Computer, Added, 200);  // own laptop programme
    add(4, Tuition, Rate, 60);     // pays 60 percent
    add(4, Miscellaneous, Rate, 60);
    add(5, Tuition, Third, 1);  // pays one third
    add(5, Miscellaneous, Third, 1);
    add(5, Lunch, Third, 1);
    add(6, Tuition, TwoThirds, 1);  // pays two thirds
    add(6, Miscellaneous, TwoThirds, 1);
    Rows statuses(c, Statement("select count(distinct stsid) from KIV5_StsItem"));
    return statuses.next() ? int(statuses.number(0, "count")) : 0;
}

}  // namespace

SchoolCounts writeSchool(const QString& baseFolder, const SchoolShape& shape) {
    SchoolCounts counts;
    std::mt19937 rng(shape.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int perGrade = (shape.students + kGrades - 1) / kGrades;
    const int classesPerGrade = std::max(1, (perGrade + kPerClass - 1) / kPerClass);

    kiv::store::PackageConnection c(baseFolder);
    Transaction t(c);
    writeFeeSchedule(c);
    counts.groups = writeGroups(c);
    writeItems(c, classesPerGrade);
    counts.statuses = writeStatuses(c);
    counts.classes = classesPerGrade * kGrades;

    PreparedStatement student(
        c, Statement("insert into Kiv7_student(Stdid,Giro,Grade,Clsid,delmark) values(")
               .placeholders({Text, Number, Number, Number, Number})
               .sql(")"));
    PreparedStatement holds(c, Statement("insert into KIV14_StuStas(stdid,stsid) values(")
                                   .placeholders({Text, Number})
                                   .sql(")"));
    for (int i = 0; i < shape.students; ++i) {
        const int grade = 1 + i / perGrade;
        const int cls = 1 + (i % perGrade) / kPerClass;
        const int seat = 1 + (i % perGrade) % kPerClass;
        const QString id =
            QString("%1%2%3").arg(grade).arg(cls, 3, 10, QChar('0')).arg(seat, 2, 10, QChar('0'));
        const bool left = unit(rng) < shape.leftShare;
        Statement& s = student.statement();
        s.setText(0, id);
        s.setNumber(1, unit(rng) < shape.counterShare ? 1 : 0);
        s.setNumber(2, grade);
        s.setNumber(3, cls);
        s.setNumber(4, left ? 1 : 0);
        student.run();
        ++counts.students;
        counts.activeStudents += left ? 0 : 1;
        if (unit(rng) < shape.statusShare) {
            const int n = unit(rng) < 0.15 ? 2 : 1;
            for (int k = 0; k < n; ++k) {
                holds.statement().setText(0, id);
                holds.statement().setNumber(1, 1 + static_cast<int>(unit(rng) * counts.statuses));
                holds.run();
            }
        }
    }
    t.commit();
    return counts;
}

}  // namespace kiv::demo
