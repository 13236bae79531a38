#pragma once
// The package's three programs in BASE/exe, copied from the folder kiv2200 stands in (the build's
// bin, an installed program folder, or another package's exe). A new package is its database and
// these programs; nothing here alters a database that was there before.

#include <QString>

#include "database/Result.h"

namespace kiv::store {

// Whether the window, the menu program and kiv2200 all stand in `folder`.
bool holdsPrograms(const QString& folder);

// Copies the three programs from `fromFolder` into BASE/exe, replacing older copies; a program that
// is already the very file (a package laid out from its own exe) stays as it is.
database::Result copyPrograms(const QString& baseFolder, const QString& fromFolder);

// A new package: its database (initDatabase), then its programs. Without the programs the new
// database file is removed again, so that the package can be laid out once the cause is fixed.
database::Result initPackage(const QString& baseFolder, const QString& fromFolder);

}  // namespace kiv::store
