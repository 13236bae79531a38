// What a clerk reads for each kind of database error, by the file's result code (extended codes
// included) and by the server's SQLSTATE; other errors keep the engine's text.
#include <gtest/gtest.h>

#include "QtPrinting.h"
#include "database/DatabaseErrors.h"

using namespace kiv::database;

TEST(DatabaseErrors, theCommonFailuresReadInChineseWithTheEnginesTextAfter) {
    const struct {
        qint64 code;
        const char* engine;
        QString reads;
    } fileErrors[] = {
        {5, "database is locked", "資料庫正由其他工作站使用中 (database is locked)"},
        {517, "database is locked", "資料庫正由其他工作站使用中 (database is locked)"},
        {6, "database table is locked", "資料庫正由其他工作站使用中 (database table is locked)"},
        {8, "attempt to write a readonly database", "資料庫檔案是唯讀的，無法寫入 ("},
        {10, "disk I/O error", "讀寫資料庫檔案時發生錯誤 ("},
        {11, "database disk image is malformed", "資料庫檔案已損毀，或不是資料庫檔案 ("},
        {26, "file is not a database", "資料庫檔案已損毀，或不是資料庫檔案 ("},
        {13, "database or disk is full", "磁碟已滿，無法寫入資料庫 ("},
        {14, "unable to open database file", "無法開啟資料庫檔案 ("},
        {1, "no such column: C.giro", "資料庫中沒有欄位 C.giro，"},
        {1, "no such table: KIV6_Group Unable", "資料庫中沒有資料表 KIV6_Group，"},
        {1, "near \"x\": syntax error", "near \"x\": syntax error"},
        {19, "rejected", "rejected"},
    };
    for (const auto& e : fileErrors) {
        SCOPED_TRACE(e.engine);
        const QString described = describeFileError(e.code, QString::fromUtf8(e.engine));
        EXPECT_TRUE(described.startsWith(e.reads)) << described.toStdString();
        EXPECT_TRUE(described.contains(QString::fromUtf8(e.engine)));
    }
    EXPECT_EQ(describeFileError(14, "unable to open database file", "/s/mdb/KIV.mdb"),
              "無法開啟資料庫檔案 /s/mdb/KIV.mdb (unable to open database file)");
    EXPECT_EQ(describeFileError(19, "rejected", "/s/mdb/KIV.mdb"), "rejected (/s/mdb/KIV.mdb)");
    const struct {
        const char* state;
        const char* engine;
        QString reads;
    } serverErrors[] = {
        {"42P01", "relation \"kiv6_group\" does not exist", "資料庫中沒有資料表 kiv6_group，"},
        {"42703", "column c.giro does not exist", "資料庫中沒有欄位 c.giro，"},
        {"55P03", "could not obtain lock", "資料庫正由其他工作站使用中 ("},
        {"25006", "cannot execute INSERT in a read-only transaction", "資料庫是唯讀的，無法寫入 ("},
        {"53100", "could not extend file", "資料庫伺服器的磁碟已滿，無法寫入 ("},
        {"XX001", "invalid page in block", "資料庫已損毀 ("},
        {"08006", "server closed the connection", "與資料庫伺服器的連線中斷 ("},
        {"57P01", "terminating connection", "資料庫伺服器已停止服務 ("},
        {"P0001", "rejected", "rejected"},
        {"", "rejected", "rejected"},
    };
    for (const auto& e : serverErrors) {
        SCOPED_TRACE(e.state);
        EXPECT_TRUE(describeServerError(e.state, QString::fromUtf8(e.engine)).startsWith(e.reads));
    }
    EXPECT_EQ(withStepCode("無法開啟資料庫檔案", "AS001"), "無法開啟資料庫檔案 [AS001]");
    EXPECT_EQ(withStepCode("x", ""), "x");
}
