#include "store/Compaction.h"

#include <QFileInfo>
#include <cerrno>

#include "database/Connection.h"
#include "database/Failure.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"

using namespace kiv::database;

namespace kiv::store {

QString compactionMessage(const Result& r) {
    return QString("錯 誤:") + r.description + "(" + QString::number(r.number) + ")" + "(" +
           r.step + ")";
}

Result compactDatabase(const QString& baseFolder, const LockWait& wait) {
    Result done;
    done.step = "A006";
    QString step = "A001";
    try {
        // The server reclaims space by itself, but its planner's statistics lag a minute or so
        // behind a batch just written; planned without them, the next command's reads of that
        // batch can take many times as long. They are refreshed for the batch tables.
        if (readServerSettings(baseFolder)) {
            PackageConnection c(baseFolder, wait);
            step = "A002-01";
            c.runFixed(QStringLiteral("ANALYZE KIV8_PayMent, KIV9_Payitem, KIV10_Agency"));
            return done;
        }
    } catch (const Failure& f) {
        return Result::of(f, step);
    }
    const QString database = databasePath(baseFolder);
    if (!QFileInfo::exists(database)) {
        return Result::failed("找不到資料庫檔案 " + database, ENOENT, "A001");
    }
    try {
        PackageConnection c(baseFolder, wait);
        step = "A002-01";
        c.runFixed(QStringLiteral("VACUUM"));
    } catch (const Failure& f) {
        return Result::of(f, step);
    }
    return done;
}

}  // namespace kiv::store
