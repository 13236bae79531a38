#include "store/Compaction.h"

#include <QFileInfo>
#include <cerrno>

#include "store/Connection.h"
#include "store/Failure.h"
#include "store/PackagePaths.h"

namespace kiv::store {

namespace {

CompactionResult failedAt(const QString& step, const QString& description, qint64 number) {
    CompactionResult r;
    r.ok = false;
    r.step = step;
    r.description = description;
    r.number = number;
    return r;
}

}  // namespace

QString CompactionResult::message() const {
    return QString("錯 誤:") + description + "(" + QString::number(number) + ")" + "(" + step + ")";
}

CompactionResult compress_mdb(const QString& baseFolder, const LockWait& wait) {
    const QString database = databasePath(baseFolder);
    if (!QFileInfo::exists(database)) {
        return failedAt("A001", "找不到資料庫檔案 " + database, ENOENT);
    }
    try {
        Connection c(baseFolder, wait);
        try {
            c.runFixed(QStringLiteral("VACUUM"));
        } catch (const Failure& f) {
            return failedAt("A002-01", f.description(), f.number());
        }
    } catch (const Failure& f) {
        return failedAt("A001", f.description(), f.number());
    }
    CompactionResult done;
    done.step = "A006";
    return done;
}

}  // namespace kiv::store
