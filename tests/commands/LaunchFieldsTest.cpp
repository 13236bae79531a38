#include <gtest/gtest.h>

#include "commands/LaunchFields.h"

using namespace kiv::commands;

TEST(GetCommand, splitsTheThreeFieldsAndIgnoresAnythingAfterAThirdSlash) {
    struct Case {
        const char* line;
        CommandLine::Outcome outcome;
        const char *a1, *a2, *a3;
    };
    using O = CommandLine::Outcome;
    const Case cases[] = {
        {"a/b/c", O::Ok, "a", "b", "c"},
        {"a/b/c/d", O::Ok, "a", "b", "c"},
        {"a/b/", O::Ok, "a", "b", ""},
        {"//", O::Ok, "", "", ""},
        {"user 1/school/2026", O::Ok, "user 1", "school", "2026"},
        {"a/b", O::Malformed, "", "", ""},
        {"abc", O::Malformed, "", "", ""},
        {"", O::Empty, "", "", ""},
    };
    for (const Case& c : cases) {
        const CommandLine r = splitCommandLine(c.line);
        EXPECT_EQ(r.outcome, c.outcome) << c.line;
        if (c.outcome == O::Ok) {
            EXPECT_EQ(r.fields.arg1, c.a1) << c.line;
            EXPECT_EQ(r.fields.arg2, c.a2) << c.line;
            EXPECT_EQ(r.fields.arg3, c.a3) << c.line;
            EXPECT_EQ(r.fields.command, c.line);
        }
    }
    EXPECT_EQ(splitCommandLine("a/b/c/d").fields.handBack(), "a/b/c");
    EXPECT_EQ(splitCommandLine("a/b/").fields.handBack(), "a/b/");
}
