# The Debian package of what cmake --install lays out (scripts/package; the install test packages
# its own build tree the same way): kiv2200_<version>_<arch>.deb, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kiv2200)
set(CPACK_PACKAGE_VENDOR "The Kiv2200 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collection batches of a school's tuition bills")
# The long description: lines of at most 80 columns, as Debian shows them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Kiv2200 is the batch program of a school's fee-collection package. With it\n"
  "the school's clerks build collection batches: all bills of one payment group\n"
  "for one collection date, paid by transfer or with a counter deposit slip.\n"
  "The window Kiv2200P1 generates a batch, deletes one, applies one to a new\n"
  "date and collects the failed transfers again; the command kiv2200 runs the\n"
  "same operations from a script and writes a batch's report as PDF or CSV.\n"
  "The database is an SQLite file or a PostgreSQL server.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KIV_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link, as dpkg-shlibdeps finds them; then what they load at run time:
# Qt's SQLite and PostgreSQL drivers, Qt's own Traditional Chinese (the boxes' buttons) and the
# fonts of the window and of the report's PDF (its Latin letters and digits from DejaVu Sans).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6sql6-sqlite, libqt6sql6-psql, qt6-translations-l10n, fonts-noto-cjk, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR, so that what names the prefix (the desktop entry) names /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
