# What cmake --install lays out in a prefix: the three programs in one program folder, kiv2200 on
# the path, the desktop entry, the AppStream metainfo, the icons, the manual page and the package's
# documents. Nothing installed refers to the build or the source tree.
#
# The program folder holds the three programs side by side, as a package's exe folder and the
# build's bin do: kiv2200 on the path is a link to the one there, and Qt resolves the link, so
# kiv2200 finds the window and the menu program beside itself, init-db and demo copy them from
# there into a new package, and the window started from there hands back to the menu beside it.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/DebianDate.cmake)

set(KIV_ID org.kiv2200.Kiv2200)
# The date of the release that project(VERSION) names, for the metainfo and the changelog: set it
# whenever the version changes.
set(KIV_RELEASE_DATE 2026-12-07)
set(KIV_MAINTAINER "The Kiv2200 developers <kiv2200@example.org>")
# Programs of our own, not on the path: lib/kiv2200, not the multiarch folder GNUInstallDirs picks
# on Debian.
set(KIV_INSTALL_PROGRAM_DIR lib/kiv2200/exe)
set(KIV_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(KIV_STAGED ${PROJECT_BINARY_DIR}/packaging)
set(KIV_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kiv2200)
# Folders readable by everyone whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Installing and packaging take what has been built and build nothing: scripts/package builds the
# programs first, and the install test packages the tree it runs in while others may build it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS kiv2200 Kiv2200P1 Kiv0000P1 RUNTIME DESTINATION ${KIV_INSTALL_PROGRAM_DIR})

file(RELATIVE_PATH KIV_LINK_TARGET /prefix/${CMAKE_INSTALL_BINDIR}
  /prefix/${KIV_INSTALL_PROGRAM_DIR}/kiv2200)
configure_file(${KIV_PACKAGING}/InstallAtPrefix.cmake.in ${KIV_STAGED}/InstallAtPrefix.cmake @ONLY)
install(SCRIPT ${KIV_STAGED}/InstallAtPrefix.cmake)

configure_file(${KIV_PACKAGING}/${KIV_ID}.metainfo.xml.in ${KIV_STAGED}/${KIV_ID}.metainfo.xml
  @ONLY)
install(FILES ${KIV_STAGED}/${KIV_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 48 128 256)
  install(FILES ${KIV_PACKAGING}/icons/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KIV_ID}.png)
endforeach()
install(FILES ${KIV_PACKAGING}/icons/${KIV_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual page and the changelog, compressed as Debian keeps them (gzip -9n: no name, no time,
# the same bytes on every build) where gzip is at hand.
configure_file(${KIV_PACKAGING}/kiv2200.1.in ${KIV_STAGED}/kiv2200.1 @ONLY)
kiv_rfc_date(${KIV_RELEASE_DATE} KIV_RELEASE_DATE_RFC)
configure_file(${KIV_PACKAGING}/changelog.in ${KIV_STAGED}/changelog @ONLY)
find_program(KIV_GZIP gzip)
foreach(doc kiv2200.1 changelog)
  if(KIV_GZIP)
    execute_process(COMMAND ${KIV_GZIP} -9n -c ${KIV_STAGED}/${doc}
      OUTPUT_FILE ${KIV_STAGED}/${doc}.gz COMMAND_ERROR_IS_FATAL ANY)
    set(KIV_${doc}_INSTALLED ${KIV_STAGED}/${doc}.gz)
  else()
    set(KIV_${doc}_INSTALLED ${KIV_STAGED}/${doc})
  endif()
endforeach()
install(FILES ${KIV_kiv2200.1_INSTALLED} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KIV_changelog_INSTALLED} ${KIV_PACKAGING}/copyright DESTINATION ${KIV_DOC_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
