# Run by CPack between staging the install tree and making the Debian package. CPack runs
# dpkg-shlibdeps in the staging folder and removes its debian/ folder afterwards, so this file
# never reaches the package. See cmake/packaging.cmake for why the libraries are left out.
if(CPACK_GENERATOR STREQUAL "DEB")
  list(JOIN CPACK_TALLOWBY_UNLISTED_LIBRARIES "\n" _entries)
  file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/debian/shlibs.local" "${_entries}\n")
endif()
