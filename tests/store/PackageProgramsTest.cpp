// A new package's programs: copied into BASE/exe beside a new database, or no package at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TestBase.h"
#include "store/PackagePaths.h"
#include "store/PackagePrograms.h"
#include "store/Schema.h"

using kiv::database::Result;
using namespace kiv::store;

namespace {

const char* const kPrograms[] = {kWindowProgram, kCommandLineProgram, kMenuProgram};

// A program folder with the three programs, each a small executable file naming itself.
QString programsIn(const QString& folder, const QStringList& leftOut = {}) {
    QDir().mkpath(folder);
    for (const char* name : kPrograms) {
        if (leftOut.contains(name)) {
            continue;
        }
        QFile f(folder + "/" + programFileName(name));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("#!/bin/sh\necho ") + name + "\n");
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    return folder;
}

}  // namespace

TEST(PackagePrograms, aNewPackageGetsACopyOfEachProgramWhichALaterCopyReplaces) {
    QTemporaryDir dir;
    const QString from = programsIn(dir.path() + "/installed");
    const QString base = dir.path() + "/school";
    QDir().mkpath(programFolder(base));
    QFile old(packageProgramPath(base, kMenuProgram));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("an older menu program") > 0);
    old.close();
    const Result made = initPackage(base, from);
    ASSERT_TRUE(made.ok) << made.description.toStdString();
    EXPECT_TRUE(QFile::exists(databasePath(base)));
    for (const char* name : kPrograms) {
        const QString copy = packageProgramPath(base, name);
        EXPECT_TRUE(QFileInfo(copy).isExecutable()) << name;
        EXPECT_EQ(kiv::test::fileBytes(copy), kiv::test::fileBytes(from + "/" + name)) << name;
    }
    // Laid out again from its own exe, a program is not removed to be copied onto itself.
    const QByteArray window = kiv::test::fileBytes(packageProgramPath(base, kWindowProgram));
    ASSERT_TRUE(copyPrograms(base, programFolder(base)).ok);
    EXPECT_EQ(kiv::test::fileBytes(packageProgramPath(base, kWindowProgram)), window);
    // A package laid out anew over its database is refused, and copies no program.
    QFile newer(from + "/" + programFileName(kMenuProgram));
    ASSERT_TRUE(newer.open(QIODevice::Append) && newer.write("# newer\n") > 0);
    newer.close();
    const Result again = initPackage(base, from);
    EXPECT_TRUE(!again.ok && again.description.contains("already exists"))
        << again.description.toStdString();
    EXPECT_NE(kiv::test::fileBytes(packageProgramPath(base, kMenuProgram)),
              kiv::test::fileBytes(newer.fileName()));
}

TEST(PackagePrograms, withoutThePrograms_noPackageIsLeft) {
    struct Case {
        const char* name;
        QStringList leftOut;  // programs missing from the program folder
        bool exeIsAFile;      // BASE/exe cannot be made
        const char* told;
    };
    const Case cases[] = {
        {"window missing", {kWindowProgram}, false, "cannot copy"},
        {"menu missing", {kMenuProgram}, false, "cannot copy"},
        {"exe cannot be made", {}, true, "cannot create"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString from = programsIn(dir.path() + "/installed", c.leftOut);
        const QString base = dir.path() + "/school";
        if (c.exeIsAFile) {
            QDir().mkpath(base);
            QFile f(programFolder(base));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(holdsPrograms(from), c.leftOut.isEmpty()) << c.name;
        const Result made = initPackage(base, from);
        EXPECT_FALSE(made.ok) << c.name;
        EXPECT_TRUE(made.description.contains(c.told))
            << c.name << ": " << made.description.toStdString();
        // The database was this run's own: gone, so that the package can be laid out again.
        EXPECT_FALSE(QFile::exists(databasePath(base))) << c.name;
        programsIn(from);
        if (!c.exeIsAFile) {
            EXPECT_TRUE(initPackage(base, from).ok) << c.name;
        }
    }
}
