#include "store/PackageDatabase.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include "database/Failure.h"
#include "screen/Texts.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

using namespace kiv::database;

namespace kiv::store {

using database::Failure;
using database::FailureKind;

namespace {
const QString kDriver = QStringLiteral("QPSQL");

[[noreturn]] void failSettings(const QString& path, const QString& what) {
    throw Failure(FailureKind::Database,
                  QStringLiteral("資料庫設定檔 %1 %2，程式無法開啟資料庫。").arg(path, what));
}

// Whether the file has a [server] section, spelt in any case and even without a key: such a
// section means the server, and one that names no driver is an error, never the file.
bool hasServerSection(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failSettings(path, QStringLiteral("無法讀取"));
    }
    static const QRegularExpression section(
        QStringLiteral("^\\s*\\[server\\]\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    return section.match(QString::fromUtf8(file.readAll())).hasMatch();
}
}  // namespace

QString settingsPath(const QString& baseFolder) {
    return databaseFolder(baseFolder) + QStringLiteral("/KIV.ini");
}

std::optional<database::ServerSettings> readServerSettings(const QString& baseFolder) {
    const QString path = settingsPath(baseFolder);
    if (!QFileInfo::exists(path) || !hasServerSection(path)) {
        return std::nullopt;
    }
    QSettings file(path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError) {
        failSettings(path, QStringLiteral("無法讀取"));
    }
    file.beginGroup(QStringLiteral("server"));
    const QString driver = file.value(QStringLiteral("driver")).toString().trimmed();
    if (driver.isEmpty()) {
        failSettings(path, QStringLiteral("的 [server] 段沒有指定 driver"));
    }
    if (driver.compare(kDriver, Qt::CaseInsensitive) != 0) {
        failSettings(
            path,
            QStringLiteral("指定的資料庫驅動程式「%1」不支援（只支援 %2）").arg(driver, kDriver));
    }
    database::ServerSettings s;
    s.host = file.value(QStringLiteral("host")).toString().trimmed();
    s.database = file.value(QStringLiteral("database")).toString().trimmed();
    s.user = file.value(QStringLiteral("user")).toString().trimmed();
    const QString port = file.value(QStringLiteral("port")).toString().trimmed();
    if (!port.isEmpty()) {
        bool ok = false;
        s.port = port.toInt(&ok);
        if (!ok || s.port <= 0 || s.port > 65535) {
            failSettings(path, QStringLiteral("的連接埠「%1」不是有效的號碼").arg(port));
        }
    }
    return s;
}

void writeServerSettings(const QString& baseFolder,
                         const std::optional<database::ServerSettings>& server) {
    const QString path = settingsPath(baseFolder);
    QSettings file(path, QSettings::IniFormat);
    file.remove(QStringLiteral("server"));
    if (server) {
        file.beginGroup(QStringLiteral("server"));
        file.setValue(QStringLiteral("driver"), kDriver);
        const std::pair<const char*, QString> keys[] = {
            {"host", server->host},
            {"port", server->port > 0 ? QString::number(server->port) : QString()},
            {"database", server->database},
            {"user", server->user}};
        for (const auto& [key, value] : keys) {
            if (!value.isEmpty()) {
                file.setValue(QString::fromLatin1(key), value);
            }
        }
        file.endGroup();
    }
    file.sync();
    if (file.status() != QSettings::NoError) {
        failSettings(path, QStringLiteral("無法寫入"));
    }
}

int wholeNumberSetting(const QString& baseFolder, const QString& key, int fallback) {
    const QString path = settingsPath(baseFolder);
    if (!QFileInfo::exists(path)) {
        return fallback;
    }
    const QVariant value = QSettings(path, QSettings::IniFormat).value(key);
    if (!value.isValid()) {
        return fallback;
    }
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    if (!ok || n < 0) {
        throw Failure(
            FailureKind::Database,
            QStringLiteral("資料庫設定檔 %1 的 [%2] %3「%4」不是 0 或更大的整數")
                .arg(path, key.section('/', 0, 0), key.section('/', 1), value.toString()));
    }
    return n;
}

QString serverShown(const database::ServerSettings& server) {
    const database::ServerSettings r = server.resolved();
    return Texts::tr("%1:%2, database %3, user %4")
        .arg(r.host, QString::number(r.port), r.database, r.user);
}

QString databaseLocation(const QString& baseFolder) {
    if (const std::optional<database::ServerSettings> server = readServerSettings(baseFolder)) {
        return Texts::tr("the server database (%1)").arg(serverShown(*server));
    }
    return QDir::cleanPath(databasePath(baseFolder));
}

PackageConnection::PackageConnection(const QString& baseFolder, database::LockWait wait)
    : Connection(locateDatabase(baseFolder), std::move(wait)) {
    if (dialect() == database::Dialect::Server) {
        upgradeServerSchema(*this);
    }
}

database::DatabaseLocation locateDatabase(const QString& baseFolder) {
    database::DatabaseLocation where;
    where.server = readServerSettings(baseFolder);
    if (!where.server) {
        where.file = databasePath(baseFolder);
    }
    return where;
}

}  // namespace kiv::store
