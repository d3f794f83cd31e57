# What `cmake --install` puts where, and the Debian package CPack makes of it (scripts/package.sh).
# The installed program finds its database seed and help in share/korvane, and keeps each user's data
# in that user's own data folder (src/app/DataFolder.h).

install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The command-line program, where this tree has one.
if(TARGET korvane-cli)
  install(TARGETS korvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The freshly generated database, never build/bin/Korvane.mdb, which is the build tree's own data.
install(FILES ${CMAKE_BINARY_DIR}/seed/Korvane.mdb ${PROJECT_SOURCE_DIR}/resources/help/Korvane.hlp
        DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${KORVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${KORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# A Debian package carries its change log and copyright beside its documentation, and a manual page
# for each program; they are compressed the way dpkg expects (gzip -9n: no name, no time stamp).
set(korvane_docdir ${CMAKE_INSTALL_DATADIR}/doc/korvane)
set(korvane_packaging_files ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(OUTPUT ${korvane_packaging_files}/changelog.gz ${korvane_packaging_files}/korvane.1.gz
                          ${korvane_packaging_files}/korvane-cli.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${korvane_packaging_files}
  COMMAND sh -c "gzip -9n < '${PROJECT_SOURCE_DIR}/resources/desktop/changelog' > '${korvane_packaging_files}/changelog.gz'"
  COMMAND sh -c "gzip -9n < '${PROJECT_SOURCE_DIR}/resources/desktop/korvane.1' > '${korvane_packaging_files}/korvane.1.gz'"
  COMMAND sh -c "gzip -9n < '${PROJECT_SOURCE_DIR}/resources/desktop/korvane-cli.1' > '${korvane_packaging_files}/korvane-cli.1.gz'"
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/desktop/changelog ${PROJECT_SOURCE_DIR}/resources/desktop/korvane.1
          ${PROJECT_SOURCE_DIR}/resources/desktop/korvane-cli.1
  VERBATIM)
add_custom_target(korvane_packaging_files ALL
  DEPENDS ${korvane_packaging_files}/changelog.gz ${korvane_packaging_files}/korvane.1.gz
          ${korvane_packaging_files}/korvane-cli.1.gz)
install(FILES ${korvane_packaging_files}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/desktop/copyright
        DESTINATION ${korvane_docdir})
install(FILES ${korvane_packaging_files}/korvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET korvane-cli)
  install(FILES ${korvane_packaging_files}/korvane-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@korvane.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "biorhythms of keirin racers for a race day")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korvane.jp/")
# The long description under the summary line; CPack indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Korvane keeps a small database of keirin racers, velodromes and regions and
computes the three-cycle biorhythm (physical, emotional, intellectual) of
each racer for a race's survey date. It shows the race table with values
near zero in red, charts and caution messages, prints reports and stores
races as history with finishing orders. Its windows are in Japanese.")
# The libraries the programs link come from dpkg-shlibdeps; what they load by name at run time
# (the SQLite driver, the display plug-ins), the fonts and Qt's Japanese texts are listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipamj-mincho, qt6-translations-l10n")
# Reports without a printer are opened in the desktop's PDF viewer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
