#pragma once
// A school with old batches for the re-issue engines to start from, written directly as an
// earlier run would have left them, and readers of what a run left in the batch tables.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include "RecordingScreen.h"
#include "SchoolData.h"
#include "reissue/ReissueRun.h"
#include "store/Connection.h"

namespace kiv::test {

inline const QDate kOld(2012, 6, 7);
inline const QDate kNew(2012, 7, 1);

// The fee columns that a header shares with Kiv2_school.
inline const QString kFees =
    "TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,"
    "NetExcdFee,NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee,IsUseCVS,"
    "CVSName,CVSItem1,CVSItem2,CVSItem3,CVSSmallamt,CVSSmallUserFee,CVSSmallGiroFee,CVSBtwnAmt,"
    "CVSBtwnUserFee,CVSBtwnGiroFee,CVSMaxAmt,CVSExcdUserFee,CVSExcdGiroFee";

class ReissueData : public SchoolData {
public:
    // A bill of group 1 with its items, each {Itemid, ItemAmt}.
    void addBill(const QString& day, const QString& stdid, const QString& preWay,
                 const QList<QVariantList>& items, int payStas = 0,
                 const QVariant& failFac = "") const {
        exec(
            "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data,PayStas,"
            "FailFac) values(?,?,1,0,0,?,'0',?,?)",
            {stdid, day, preWay, payStas, failFac});
        for (const QVariantList& i : items) {
            exec("insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) values(?,?,1,?,?)",
                 {stdid, day, i[0], i[1]});
        }
    }
    // A header of group 1 holding the school's current schedule.
    void addHeaderFromSchool(const QString& day) const {
        exec("insert into KIV10_Agency(TranDay,Grpid," + kFees + ") select ?,1," + kFees +
                 " from Kiv2_school",
             {day});
    }
    QStringList texts(const QString& sql, const QVariantList& values = {}) const {
        QStringList out;
        for (const QVariant& v : column(sql, values)) {
            out << v.toString();
        }
        return out;
    }
    // Item rows of a batch as "Stdid ItemId ItemAmt", in the order written.
    QStringList items(const QString& day) const {
        return texts(
            "select Stdid||' '||ItemId||' '||ItemAmt from KIV9_Payitem where TranDay=? "
            "and Grpid=1 order by rowid",
            {day});
    }
    // Records as "Stdid PayAmt Fee PreWay lock Netfee NetATMfee CanUseCVS CVSFee CVSItem Check_DL
    // TranDay2", unset columns as "-", in the order written.
    QStringList bills(const QString& day) const {
        return texts(
            "select Stdid||' '||PayAmt||' '||Fee||' '||PreWay||' '||ifnull(lock_data,'-')"
            "||' '||ifnull(Netfee,'-')||' '||ifnull(NetATMfee,'-')||' '||CanUseCVS||' '||"
            "ifnull(CVSFee,'-')||' '||ifnull(nullif(CVSItem,''),'-')||' '||"
            "ifnull(Check_DL,'-')||' '||ifnull(TranDay2,'-') from KIV8_PayMent "
            "where TranDay=? and Grpid=1 order by rowid",
            {day});
    }
    // The fee columns of a batch's header rows (or of the school's schedule, with no day).
    QStringList fees(const QString& day = {}) const {
        const QString cells = "ifnull(" + kFees.split(',').join(",'-')||'|'||ifnull(") + ",'-')";
        return day.isEmpty()
                   ? texts("select " + cells + " from Kiv2_school")
                   : texts("select " + cells + " from KIV10_Agency where TranDay=?", {day});
    }
    // Every row of the batch tables, every column, Nulls marked.
    QStringList snapshot() const {
        kiv::store::Connection c(path());
        QStringList out;
        for (const QString table : {"KIV8_PayMent", "KIV9_Payitem", "KIV10_Agency"}) {
            QSqlQuery q(c.database());
            q.exec("select * from " + table + " order by rowid");
            while (q.next()) {
                QStringList cells{table};
                for (int i = 0; i < q.record().count(); ++i) {
                    cells << (q.value(i).isNull() ? QString("<null>") : q.value(i).toString());
                }
                out << cells.join('|');
            }
        }
        return out;
    }
};

// Notes, at every message, whether another program could begin writing the database: no message
// may wait while a run holds its transaction open.
class ProbingScreen : public RecordingScreen {
public:
    explicit ProbingScreen(const TestBase& db) : m_file(db.dbFile()) {}
    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override {
        RecordingScreen::showMessage(text, title, icon);
        bool writable = false;
        {
            QSqlDatabase probe = QSqlDatabase::addDatabase("QSQLITE", "probe");
            probe.setDatabaseName(m_file);
            probe.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
            QSqlQuery q(probe);
            writable = probe.open() && q.exec("BEGIN IMMEDIATE");
            q.exec("ROLLBACK");
        }
        QSqlDatabase::removeDatabase("probe");
        writableAtMessages << writable;
    }
    QList<bool> writableAtMessages;

private:
    QString m_file;
};

// The two engines under one signature, for the cases they share.
struct Engine {
    const char* name;
    bool (*run)(const QString&, const QDate&, const QDate&, qint64, kiv::screen::Screen&);
    kiv::screen::Tab tab;
};
inline const Engine kApply{"Kiv2200exe_insert_data3", &kiv::reissue::Kiv2200exe_insert_data3,
                           kiv::screen::Tab::Apply};
inline const Engine kRecollect{"Kiv2200exe_insert_data4", &kiv::reissue::Kiv2200exe_insert_data4,
                               kiv::screen::Tab::Recollect};

inline QString summary(qint64 transfers, qint64 transferSum, qint64 counters, qint64 counterSum) {
    return QString(
               "轉 帳 總 數       %1 筆\r\r轉 帳 總 金 額  %2 元\r\r臨 櫃 總 數       %3 筆\r\r"
               "臨 櫃 總 金 額  %4 元")
        .arg(transfers)
        .arg(transferSum)
        .arg(counters)
        .arg(counterSum);
}

}  // namespace kiv::test
