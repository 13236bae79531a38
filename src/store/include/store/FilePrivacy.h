#pragma once
// Kept copies hold the students' data as the database does, and are no more open than it: the
// backup folder gives others no access, and each copy takes the database file's mode and group.
// On systems without POSIX modes both leave the system's own defaults.

#include <QString>

namespace kiv::store {

// Creates `folder` when it is missing and closes it to others: the owner has every access, the
// group of `database` what that file gives its group (read and search, write where it may
// write), others nothing. False when the folder cannot be made.
bool makePrivateFolder(const QString& folder, const QString& database);

// Gives `file` the permission bits and the group of `database`. Where the group cannot be given
// (the user is no member of it), the file keeps no access for its group either.
void giveModeAndGroupOf(const QString& file, const QString& database);

}  // namespace kiv::store
