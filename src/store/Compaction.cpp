#include "Compaction.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Connection.h"
#include "Failure.h"

namespace kiv::store {

namespace {

bool hardLinkOrCopy(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::create_hard_link(from.toStdString(), to.toStdString(), ec);
    if (!ec) {
        return true;
    }
    return QFile::copy(from, to);
}

bool renameReplacing(const QString& from, const QString& to) {
    // std::rename replaces an existing target atomically on POSIX systems.
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool removeFile(const QString& path) {
    return QFile::remove(path);
}

CompactionResult failedAt(const QString& step, const QString& description, qint64 number) {
    CompactionResult r;
    r.ok = false;
    r.step = step;
    r.description = description;
    r.number = number;
    return r;
}

// Writes the compacted copy and checks that it opens and is whole.
void compactInto(const QString& source, const QString& target) {
    {
        Connection c = Connection::atPath(source);
        QSqlQuery q(c.database());
        if (!q.prepare("VACUUM INTO ?")) {
            failQuery(q);
        }
        q.addBindValue(target);
        if (!q.exec()) {
            failQuery(q);
        }
    }
    Connection check = Connection::atPath(target);
    QSqlQuery q = check.run(Statement("PRAGMA integrity_check"));
    if (!q.next() || q.value(0).toString() != "ok") {
        throw Failure(FailureKind::Database, "the compacted copy failed its integrity check");
    }
}

}  // namespace

CompactionFileOps CompactionFileOps::real() {
    return {hardLinkOrCopy, renameReplacing, removeFile};
}

QString CompactionResult::message() const {
    return QString("錯 誤:") + description + "(" + QString::number(number) + ")" + "(" + step + ")";
}

CompactionResult compress_mdb(const QString& baseFolder, const CompactionFileOps& ops) {
    const QString mdb = baseFolder + "/mdb/";
    const QString database = mdb + "KIV.mdb";
    const QString kept = mdb + "KIV1.mdb";
    const QString temp = mdb + "kiv6200tmp.mdb";

    // Without a database there is nothing to compact, and KIV1.mdb may be the only copy left:
    // touch nothing.
    if (!QFileInfo::exists(database)) {
        return failedAt("A001", "找不到資料庫檔案 " + database, ENOENT);
    }
    // Left-overs of an earlier compaction; KIV.mdb is in place, so neither is needed.
    if (QFileInfo::exists(kept)) {
        ops.remove(kept);
    }
    if (QFileInfo::exists(temp)) {
        ops.remove(temp);
    }
    try {
        compactInto(database, temp);
    } catch (const Failure& f) {
        return failedAt("A002-01", f.description(), f.number());
    }
    if (!ops.keepAs(database, kept)) {
        return failedAt("A003", "無法保留舊資料庫 " + kept, errno);
    }
    if (!ops.replace(temp, database)) {
        return failedAt("A004", "無法以壓縮後的檔案取代 " + database, errno);
    }
    if (!ops.remove(kept)) {
        return failedAt("A005", "無法刪除 " + kept, errno);
    }
    CompactionResult done;
    done.step = "A006";
    return done;
}

}  // namespace kiv::store
