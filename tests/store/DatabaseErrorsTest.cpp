// What a clerk reads for each kind of database error, by the file's result code (extended codes
// included) and by the server's SQLSTATE; other errors keep the engine's text.
#include <gtest/gtest.h>

#include "QtPrinting.h"
#include "database/DatabaseErrors.h"

using namespace kiv::database;

// A described error names what happened and keeps the engine's own text for the IT staff; an error
// without a description is the engine's text as it stands.
TEST(DatabaseErrors, describedErrorsKeepTheEnginesTextAndOthersAreLeftAlone) {
    const qint64 described[] = {5, 517, 6, 8, 10, 11, 26, 13, 14};
    for (const qint64 code : described) {
        const QString text = describeFileError(code, "engine text", "/s/mdb/KIV.mdb");
        EXPECT_TRUE(text.endsWith(" /s/mdb/KIV.mdb (engine text)") && !text.startsWith("engine"))
            << code << " " << text.toStdString();
    }
    EXPECT_TRUE(describeFileError(1, "no such table: KIV6_Group Unable").contains("KIV6_Group，"));
    EXPECT_EQ(describeFileError(1, "near \"x\": syntax error"), "near \"x\": syntax error");
    EXPECT_EQ(describeFileError(19, "rejected", "/s/mdb/KIV.mdb"), "rejected (/s/mdb/KIV.mdb)");
    for (const char* state :
         {"42P01", "55P03", "40P01", "25006", "53100", "XX001", "XX002", "08006", "57P01"}) {
        const QString engine = state[1] == '2' ? "relation \"kiv6_group\" does not exist" : "x";
        const QString text = describeServerError(state, engine);
        EXPECT_TRUE(text.endsWith("(" + engine + ")") && text.size() > engine.size() + 3)
            << state << " " << text.toStdString();
    }
    EXPECT_EQ(describeServerError("P0001", "rejected"), "rejected");
    EXPECT_EQ(describeServerError("", "rejected"), "rejected");
    EXPECT_EQ(withStepCode("無法開啟資料庫檔案", "AS001"), "無法開啟資料庫檔案 [AS001]");
    EXPECT_EQ(withStepCode("x", ""), "x");
}
