#pragma once
// The descriptions a clerk reads for the database's own errors. The common cases (cannot open,
// locked, read-only, disk full, damaged, a missing table or column, a lost server) read in
// Traditional Chinese, with the engine's own text after them in brackets for the IT staff; any
// other error keeps the engine's text as it stands.

#include <QString>

namespace kiv::database {

// An error of the database file, by SQLite's result code (primary or extended); `file`, where
// given, is named in the description.
QString describeFileError(qint64 resultCode, const QString& engineText, const QString& file = {});
// An error of the server, by its SQLSTATE.
QString describeServerError(const QString& sqlState, const QString& engineText);
// A description with the step code the routine had reached, kept apart from the text.
QString withStepCode(const QString& description, const QString& step);

}  // namespace kiv::database
