# The Windows packages, made on Linux by the target tallowby_windows_packages (scripts/package
# builds it): the installer Tallowby-<version>-x64.msi, made with wixl from
# resources/windows/tallowby.wxs, and Tallowby-<version>-windows.zip, the same program folder for
# people who do not install. Both land in <build>/packages.
#
# Included from src/win32 once Tallowby.exe is defined. The packages need the native build's
# icon and hand cursor; without them there is nothing complete to ship, so no target.
if(NOT TALLOWBY_ICON_FILE OR NOT TALLOWBY_CURSOR_FILE)
  message(STATUS "Windows packages left out: TALLOWBY_ICON_FILE and TALLOWBY_CURSOR_FILE unset")
  return()
endif()
find_program(TALLOWBY_WIXL wixl)
if(NOT TALLOWBY_WIXL)
  message(STATUS "Windows packages left out: wixl not found")
  return()
endif()

# The program folder is staged as the user gets it, Tallowby.exe stripped, with the icon for the
# Start-menu shortcut beside it (in the installer only). wixl finds its files from where it runs.
set(_stage ${CMAKE_BINARY_DIR}/packaging)
set(_folder ${_stage}/Tallowby)
set(_out ${CMAKE_BINARY_DIR}/packages)
set(_msi ${_out}/Tallowby-${PROJECT_VERSION}-x64.msi)
set(_zip ${_out}/Tallowby-${PROJECT_VERSION}-windows.zip)
set(_wxs ${PROJECT_SOURCE_DIR}/resources/windows/tallowby.wxs)

add_custom_command(
  OUTPUT ${_folder}/Tallowby.exe ${_folder}/HAND-M.CUR ${_folder}/x/o.cjs ${_stage}/tallowby.ico
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_folder}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_folder}/x
  COMMAND ${CMAKE_STRIP} -o ${_folder}/Tallowby.exe $<TARGET_FILE:tallowby_win32>
  COMMAND ${CMAKE_COMMAND} -E copy ${TALLOWBY_CURSOR_FILE} ${_folder}/HAND-M.CUR
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/skin/o.cjs ${_folder}/x/o.cjs
  COMMAND ${CMAKE_COMMAND} -E copy ${TALLOWBY_ICON_FILE} ${_stage}/tallowby.ico
  DEPENDS tallowby_win32 ${TALLOWBY_CURSOR_FILE} ${TALLOWBY_ICON_FILE}
          ${PROJECT_SOURCE_DIR}/resources/skin/o.cjs
  COMMENT "Staging the Windows program folder"
  VERBATIM)

add_custom_command(
  OUTPUT ${_msi}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}
  COMMAND ${TALLOWBY_WIXL} --arch x64 --define Version=${PROJECT_VERSION} --output ${_msi} ${_wxs}
  DEPENDS ${_wxs} ${_folder}/Tallowby.exe ${_folder}/HAND-M.CUR ${_folder}/x/o.cjs
          ${_stage}/tallowby.ico
  WORKING_DIRECTORY ${_stage}
  COMMENT "Making ${_msi}"
  VERBATIM)

# One folder inside, so unpacking gives the program folder and nothing strewn about.
add_custom_command(
  OUTPUT ${_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${_zip} --format=zip Tallowby
  DEPENDS ${_folder}/Tallowby.exe ${_folder}/HAND-M.CUR ${_folder}/x/o.cjs
  WORKING_DIRECTORY ${_stage}
  COMMENT "Making ${_zip}"
  VERBATIM)

add_custom_target(tallowby_windows_packages DEPENDS ${_msi} ${_zip})
