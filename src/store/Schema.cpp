#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "store/Connection.h"
#include "store/Failure.h"
#include "store/PackagePaths.h"

namespace kiv::store {

const QStringList& schemaStatements() {
    static const QStringList statements = {
        // The school's fee schedule; the system reads the first row only.
        "CREATE TABLE Kiv2_school ("
        " TranFee INTEGER, SndAmt INTEGER, TrdAmt INTEGER,"
        " SmallFee INTEGER, BtwnFee INTEGER, ExcdFee INTEGER,"
        " NetSndAmt INTEGER, NetTrdAmt INTEGER,"
        " NetSmallFee INTEGER, NetBtwnFee INTEGER, NetExcdFee INTEGER,"
        " NetATMsndamt INTEGER, NetATMTrdAmt INTEGER,"
        " NetATMsmallFee INTEGER, NetATMBtwnFee INTEGER, NetATMexcdFee INTEGER,"
        " IsUseCVS INTEGER DEFAULT 0, CVSName TEXT,"
        " CVSItem1 TEXT, CVSItem2 TEXT, CVSItem3 TEXT,"
        " CVSSmallamt INTEGER, CVSBtwnAmt INTEGER, CVSMaxAmt INTEGER,"
        " CVSSmallUserFee INTEGER, CVSBtwnUserFee INTEGER, CVSExcdUserFee INTEGER,"
        " CVSSmallGiroFee INTEGER, CVSBtwnGiroFee INTEGER, CVSExcdGiroFee INTEGER)",

        "CREATE TABLE KIV6_Group (GrpID INTEGER, GrpName TEXT)",

        "CREATE TABLE Kiv7_student ("
        " Stdid TEXT, Giro INTEGER, Grade INTEGER, Clsid INTEGER, delmark INTEGER)",

        "CREATE TABLE Kiv13_ClsGrpitem ("
        " Grpid INTEGER, Grade INTEGER, Clsid INTEGER, Itemid INTEGER, ItemAmt INTEGER)",

        "CREATE TABLE KIV14_StuStas (stdid TEXT, stsid INTEGER)",

        "CREATE TABLE KIV5_StsItem ("
        " stsid INTEGER, Itemid INTEGER, allsub TEXT, subamt INTEGER, addamt INTEGER,"
        " reviseRate INTEGER, onethird INTEGER, twothirds INTEGER)",

        "CREATE TABLE KIV8_PayMent ("
        " Stdid TEXT, TranDay TEXT, Grpid INTEGER, PayAmt INTEGER, Fee INTEGER, PreWay TEXT,"
        " lock_data TEXT, Netfee INTEGER, NetATMfee INTEGER, CanUseCVS INTEGER DEFAULT 0,"
        " CVSFee INTEGER, CVSItem TEXT, Check_DL TEXT, TranDay2 TEXT,"
        " PayStas INTEGER DEFAULT 0, FailFac TEXT DEFAULT '')",

        "CREATE TABLE KIV9_Payitem ("
        " Stdid TEXT, TranDay TEXT, Grpid INTEGER, ItemId INTEGER, ItemAmt INTEGER)",

        "CREATE TABLE KIV10_Agency ("
        " TranDay TEXT, Grpid INTEGER, Tranfee INTEGER, SndAmt INTEGER, TrdAmt INTEGER,"
        " SmallFee INTEGER, BtwnFee INTEGER, ExcdFee INTEGER,"
        " NetSndAmt INTEGER, NetTrdAmt INTEGER,"
        " NetSmallFee INTEGER, NetBtwnFee INTEGER, NetExcdFee INTEGER,"
        " NetATMsndamt INTEGER, NetATMTrdAmt INTEGER,"
        " NetATMsmallFee INTEGER, NetATMBtwnFee INTEGER, NetATMexcdFee INTEGER,"
        " IsUseCVS INTEGER DEFAULT 0, CVSName TEXT,"
        " CVSItem1 TEXT, CVSItem2 TEXT, CVSItem3 TEXT,"
        " CVSSmallamt INTEGER, CVSSmallUserFee INTEGER, CVSSmallGiroFee INTEGER,"
        " CVSBtwnAmt INTEGER, CVSBtwnUserFee INTEGER, CVSBtwnGiroFee INTEGER,"
        " CVSMaxAmt INTEGER, CVSExcdUserFee INTEGER, CVSExcdGiroFee INTEGER,"
        " PayStas INTEGER DEFAULT 0)",

        // Batch look-ups (lock count, header status, removal, lists, the no-bill step, the
        // re-issue selections) all go by date and group.
        "CREATE INDEX KIV8_PayMent_batch ON KIV8_PayMent (TranDay, Grpid, Stdid)",
        "CREATE INDEX KIV9_Payitem_batch ON KIV9_Payitem (TranDay, Grpid, Stdid, ItemId)",
        "CREATE INDEX KIV10_Agency_batch ON KIV10_Agency (TranDay, Grpid)",
        "CREATE INDEX KIV10_Agency_group ON KIV10_Agency (Grpid, TranDay)",
        "CREATE INDEX KIV6_Group_id ON KIV6_Group (GrpID)",
        // Students by id (giro look-up) and by grade and class (the class-item joins).
        "CREATE INDEX Kiv7_student_id ON Kiv7_student (Stdid)",
        "CREATE INDEX Kiv7_student_class ON Kiv7_student (Grade, Clsid)",
        "CREATE INDEX Kiv13_ClsGrpitem_group ON Kiv13_ClsGrpitem (Grpid, Grade, Clsid)",
        // Statuses per student, and what a status does per item.
        "CREATE INDEX KIV14_StuStas_student ON KIV14_StuStas (stdid, stsid)",
        "CREATE INDEX KIV5_StsItem_status ON KIV5_StsItem (stsid, Itemid)",

        QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion),
    };
    return statements;
}

Result initDatabase(const QString& baseFolder) {
    const QString path = databasePath(baseFolder);
    if (QFileInfo::exists(path)) {
        return Result::failed(QStringLiteral("%1 already exists; it is left as it is").arg(path));
    }
    if (!QDir().mkpath(databaseFolder(baseFolder))) {
        return Result::failed(
            QStringLiteral("cannot create the folder %1").arg(databaseFolder(baseFolder)));
    }
    try {
        Connection c(baseFolder, Connection::Mode::CreateNew);
        Transaction t(c);
        for (const QString& s : schemaStatements()) {
            c.runFixed(s);
        }
        t.commit();
    } catch (const Failure& f) {
        QFile::remove(path);
        return Result::of(f);
    }
    return {};
}

}  // namespace kiv::store
