# The Debian package (cpack -G DEB, run by scripts/package): the install tree plus what a Debian
# system expects of a package, that is the copyright and changelog in the documentation folder,
# a manual page and lintian overrides. The Windows installer is not made with CPack.
if(TALLOWBY_CORE_ONLY OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

set(_debian "${PROJECT_SOURCE_DIR}/resources/debian")

# The changelog and the metainfo name the release by hand; a version bump must not leave them
# behind.
file(STRINGS "${_debian}/changelog" _changelog_top LIMIT_COUNT 1)
file(STRINGS "${PROJECT_SOURCE_DIR}/resources/example.kestrelane.tallowby.metainfo.xml"
     _metainfo_releases REGEX "<release ")
list(GET _metainfo_releases 0 _metainfo_top)
if(NOT _changelog_top MATCHES "^tallowby \\(${PROJECT_VERSION}\\) "
   OR NOT _metainfo_top MATCHES "version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "Version ${PROJECT_VERSION} needs its entry at the top of "
                      "resources/debian/changelog and of the metainfo's releases")
endif()

# Debian wants both compressed to the maximum and without a time stamp, so that the package is
# the same whenever it is built.
set(_compressed "${CMAKE_BINARY_DIR}/packaging")
add_custom_command(
  OUTPUT "${_compressed}/changelog.gz" "${_compressed}/tallowby.1.gz"
         "${_compressed}/tallowby-cli.1.gz"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${_compressed}"
  COMMAND ${CMAKE_COMMAND} -E copy "${_debian}/changelog" "${PROJECT_SOURCE_DIR}/resources/tallowby.1"
          "${PROJECT_SOURCE_DIR}/resources/tallowby-cli.1" "${_compressed}"
  COMMAND gzip -9nf "${_compressed}/changelog" "${_compressed}/tallowby.1"
          "${_compressed}/tallowby-cli.1"
  DEPENDS "${_debian}/changelog" "${PROJECT_SOURCE_DIR}/resources/tallowby.1"
          "${PROJECT_SOURCE_DIR}/resources/tallowby-cli.1"
  VERBATIM)
add_custom_target(tallowby_package_documents ALL
  DEPENDS "${_compressed}/changelog.gz" "${_compressed}/tallowby.1.gz"
          "${_compressed}/tallowby-cli.1.gz")

install(FILES "${_debian}/copyright" "${_compressed}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/tallowby")
install(FILES "${_compressed}/tallowby.1.gz" "${_compressed}/tallowby-cli.1.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${_debian}/lintian-overrides" DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides"
        RENAME tallowby)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallowby)
set(CPACK_PACKAGE_VENDOR Kestrelane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "random whole numbers, saved to a file or a spreadsheet")
set(CPACK_PACKAGE_DESCRIPTION [[
Tallowby makes a list of random whole numbers: you say how many you want,
the highest possible number and which kind (all numbers, even, odd or prime
only). It writes them to results.txt in a folder of your choice, or puts them
into a new LibreOffice Calc spreadsheet that it leaves open for you.
tallowby-cli does the same from the command line, for scripts.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders the install makes would otherwise follow the umask of whoever builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrelane <${TALLOWBY_SUPPORT_ADDRESS}>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TALLOWBY_SITE_ADDRESS}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window asks for Arial, for whose widths it was laid out; fontconfig maps it to Liberation
# Sans. Without it the window still shows every caption whole, in a font of other widths.
# Qt's Wayland plugin makes the window a native client of a Wayland session (GNOME, KDE, sway):
# sharp at every scale, where XWayland's is blurred. A dependency, not a recommendation: without
# it a session that asks Qt for Wayland (QT_QPA_PLATFORM=wayland) gets no window at all, and an
# install without recommendations would silently lose the native window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-wayland")
# "Excel File" is the one thing that needs LibreOffice, and the program asks for it only then.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libreoffice-calc)
# The Calc plugin links LibreOffice's UNO runtime from LibreOffice's own program folder, and the
# program loads the plugin only when that runtime can be loaded. Left alone, dpkg-shlibdeps would
# make the UNO libraries hard dependencies of the whole package; an empty entry for each in
# debian/shlibs.local, which dpkg-shlibdeps reads first, leaves them to the recommendation above.
set(CPACK_TALLOWBY_UNLISTED_LIBRARIES "libuno_sal 3" "libuno_cppu 3" "libuno_cppuhelpergcc3 3")
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/deb_shlibs_local.cmake")

include(CPack)
