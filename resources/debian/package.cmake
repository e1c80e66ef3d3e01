# The Debian package, built by CPack from the installed tree (`cpack -G DEB` in a
# build folder, or ./package.sh). The libraries the programs link are found by
# dpkg-shlibdeps; what they load at run time is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME spoolwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Spoolwright developers")
set(CPACK_PACKAGE_CONTACT "Spoolwright maintainers <maintainers@spoolwright.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch, hold and release the jobs of CUPS print servers")
# CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Spoolwright is a desktop program for the people who look after shared
printers. It watches the queues of a CUPS print server live, pauses, releases,
deletes and re-prioritises their jobs, and with AutoQueue holds every arriving
job until an operator releases it. Every job seen and every action taken goes
into a per-user log, from which it makes reports, a CSV export and statistics.")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.spoolwright.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plug-ins, so dpkg-shlibdeps cannot see them: the log's SQLite driver and
# the window's display platforms (the off-screen one included, for reports).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins")
# Opening reports, the help page and mail; finding print servers on the network.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, avahi-daemon")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Packaging takes the tree as built, without a pass over every target first:
# package.sh builds before it packages, and so does test.sh before its checks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)

# A Debian package carries its copyright and, being native, its changelog.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/spoolwright)
