#pragma once
// The tables of the package database and their indexes, as the storage contract fixes them.
// Only kiv2200 init-db (and tests, and the demo) create a database; the programs never create
// or alter a table.

#include <QString>

#include "store/Result.h"

namespace kiv::store {

inline constexpr int kSchemaVersion = 1;

// The statements that create an empty database of the current version, in order.
const QStringList& schemaStatements();

// Creates BASE/mdb/KIV.mdb (and the mdb folder) with the schema. Refuses, with an error text,
// when the file already exists; never touches an existing file.
Result initDatabase(const QString& baseFolder);

}  // namespace kiv::store
