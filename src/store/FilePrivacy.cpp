#include "store/FilePrivacy.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kiv::store {

#ifdef Q_OS_UNIX

namespace {

bool statOf(const QString& path, struct stat& st) {
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

}  // namespace

bool makePrivateFolder(const QString& folder, const QString& database) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    struct stat db {};
    mode_t mode = S_IRWXU;
    gid_t group = gid_t(-1);
    if (statOf(database, db)) {
        mode |= (db.st_mode & S_IRGRP) ? (S_IRGRP | S_IXGRP) : 0;
        mode |= (db.st_mode & S_IWGRP) ? S_IWGRP : 0;
        group = db.st_gid;
    }
    const QByteArray path = QFile::encodeName(folder);
    // A folder of an earlier version, or one another workstation made, is closed as well; a
    // folder this user does not own keeps what its owner gave it.
    if (group != gid_t(-1) && ::chown(path.constData(), uid_t(-1), group) != 0) {
        mode &= ~mode_t(S_IRWXG);
    }
    ::chmod(path.constData(), mode);
    return true;
}

void giveModeAndGroupOf(const QString& file, const QString& database) {
    struct stat db {};
    if (!statOf(database, db)) {
        ::chmod(QFile::encodeName(file).constData(), S_IRUSR | S_IWUSR);
        return;
    }
    const QByteArray path = QFile::encodeName(file);
    mode_t mode = db.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
    if (::chown(path.constData(), uid_t(-1), db.st_gid) != 0) {
        mode &= ~mode_t(S_IRWXG);
    }
    ::chmod(path.constData(), mode);
}

#else

bool makePrivateFolder(const QString& folder, const QString&) {
    return QDir().mkpath(folder);
}

void giveModeAndGroupOf(const QString&, const QString&) {}

#endif

}  // namespace kiv::store
