// The settings file that points a package at a server, and the messages when it cannot be used.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestBase.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

using namespace kiv::database;
using namespace kiv::store;

TEST(ServerSettings, aSettingsFileNamesTheServerAndEveryFailureSaysWhatAndWhereNeverThePassword) {
    QTemporaryDir dir;
    const QString base = dir.path();
    EXPECT_FALSE(readServerSettings(base).has_value());  // no file: the SQLite file
    QDir().mkpath(base + "/mdb");
    const auto write = [&](const QByteArray& text) {
        kiv::test::writeSettings(base, text, QIODevice::Truncate);
    };
    write("[server]\ndriver=qpsql\nhost=db.school.lan\nport=65535\ndatabase=kiv\nuser=clerk\n");
    const std::optional<ServerSettings> s = readServerSettings(base);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->describe(), "db.school.lan:65535，資料庫 kiv，使用者 clerk");

    // A password in the environment never shows in a message; the server's own is put back after.
    const QByteArray password = qgetenv("PGPASSWORD");
    const bool hadPassword = qEnvironmentVariableIsSet("PGPASSWORD");
    qputenv("PGPASSWORD", "secret-word");
    struct Case {
        QByteArray ini;
        QString says;
    };
    const Case cases[] = {
        {"[server]\ndriver=QMYSQL\n", "指定的資料庫驅動程式「QMYSQL」不支援（只支援 QPSQL）"},
        {"[server]\nhost=x\n", "的 [server] 段沒有指定 driver"},
        {"[server]\ndriver=QPSQL\nport=many\n", "的連接埠「many」不是有效的號碼"},
        {"[server]\ndriver=QPSQL\nport=65536\n", "的連接埠「65536」不是有效的號碼"},
        // Nothing listens on port 1: the server cannot be reached.
        {"[server]\ndriver=QPSQL\nhost=127.0.0.1\nport=1\ndatabase=kiv\nuser=clerk\n",
         "無法連線到資料庫伺服器 127.0.0.1:1，資料庫 kiv，使用者 clerk："},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini.toStdString());
        write(c.ini);
        const QString told =
            kiv::test::failureOf([&] { Connection connection(kiv::store::locateDatabase(base)); })
                .value_or(Failure(FailureKind::Database, "opened"))
                .description();
        EXPECT_TRUE(told.contains(c.says) && !told.contains("secret-word")) << told.toStdString();
        // init-db tells the same, and creates no file.
        const Result made = initDatabase(base);
        EXPECT_FALSE(made.ok);
        EXPECT_TRUE(made.description.contains(c.says)) << made.description.toStdString();
        EXPECT_FALSE(QFile::exists(databasePath(base)));
    }
    hadPassword ? qputenv("PGPASSWORD", password) : qunsetenv("PGPASSWORD");
}
