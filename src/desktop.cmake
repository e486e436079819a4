# The desktop layer: Qt 6 Widgets on top of the core, and the files the program folder holds.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Svg)
set(CMAKE_AUTOMOC ON)

set(TALLOWBY_RESOURCES ${PROJECT_SOURCE_DIR}/resources)

add_executable(tallowby_render_icon ${TALLOWBY_RESOURCES}/icon/render_icon.cpp)
target_link_libraries(tallowby_render_icon PRIVATE Qt6::Gui Qt6::Svg tallowby_warnings)

add_executable(tallowby_make_cursor ${TALLOWBY_RESOURCES}/cursor/make_cursor.cpp)
target_link_libraries(tallowby_make_cursor PRIVATE tallowby_warnings)

set(TALLOWBY_ICON_DIR ${CMAKE_BINARY_DIR}/resources/icon)
set(TALLOWBY_ICON_SIZES 32 48 128 256)
set(icon_images)
foreach(size IN LISTS TALLOWBY_ICON_SIZES)
  list(APPEND icon_images ${TALLOWBY_ICON_DIR}/tallowby-${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_images} ${TALLOWBY_ICON_DIR}/tallowby.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TALLOWBY_ICON_DIR}
  COMMAND tallowby_render_icon ${TALLOWBY_RESOURCES}/icon/tallowby.svg ${TALLOWBY_ICON_DIR}
  DEPENDS tallowby_render_icon ${TALLOWBY_RESOURCES}/icon/tallowby.svg
  COMMENT "Rendering the program icon")

add_custom_command(
  OUTPUT ${TALLOWBY_PROGRAM_DIR}/HAND-M.CUR
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TALLOWBY_PROGRAM_DIR}
  COMMAND tallowby_make_cursor ${TALLOWBY_RESOURCES}/cursor/hand.txt
          ${TALLOWBY_PROGRAM_DIR}/HAND-M.CUR
  DEPENDS tallowby_make_cursor ${TALLOWBY_RESOURCES}/cursor/hand.txt
  COMMENT "Drawing the hand cursor")

add_custom_command(
  OUTPUT ${TALLOWBY_PROGRAM_DIR}/x/o.cjs
  COMMAND ${CMAKE_COMMAND} -E copy ${TALLOWBY_RESOURCES}/skin/o.cjs ${TALLOWBY_PROGRAM_DIR}/x/o.cjs
  DEPENDS ${TALLOWBY_RESOURCES}/skin/o.cjs)

add_custom_target(tallowby_program_files ALL
  DEPENDS ${TALLOWBY_PROGRAM_DIR}/HAND-M.CUR ${TALLOWBY_PROGRAM_DIR}/x/o.cjs
          ${TALLOWBY_ICON_DIR}/tallowby.ico)

add_library(tallowby_desktop STATIC
  app/appearance.cpp
  app/application.cpp
  app/message_boxes.cpp
  app/settings_store.cpp
  app/spreadsheet_launcher.cpp
  app/startup.cpp
  ui/field_behaviour.cpp
  ui/folder_command.cpp
  ui/form1.cpp
  ui/select_all_line_edit.cpp
  ui/window_generation_host.cpp
)
if(NOT WIN32)
  # Windows has its own desktop folder and folder dialog in the core's platform layer.
  target_sources(tallowby_desktop PRIVATE app/desktop_folder_qt.cpp shell/qt_folder_chooser.cpp)
endif()
target_link_libraries(tallowby_desktop PUBLIC tallowby_core Qt6::Widgets PRIVATE tallowby_warnings)
qt_add_resources(tallowby_desktop "program_icon" PREFIX "/icons" BASE ${TALLOWBY_ICON_DIR}
                 FILES ${icon_images})

add_executable(tallowby app/main.cpp)
target_link_libraries(tallowby PRIVATE tallowby_desktop tallowby_warnings)
set_target_properties(tallowby PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TALLOWBY_PROGRAM_DIR})
if(WIN32)
  # Tallowby.exe, a windowed program carrying the icon group and the version record.
  include(${PROJECT_SOURCE_DIR}/cmake/windows_resources.cmake)
  set_target_properties(tallowby PROPERTIES OUTPUT_NAME Tallowby WIN32_EXECUTABLE ON)
  tallowby_add_windows_resources(tallowby ICON ${TALLOWBY_ICON_DIR}/tallowby.ico)
endif()
add_dependencies(tallowby tallowby_program_files)
if(TARGET tallowby_calc)
  add_dependencies(tallowby tallowby_calc)
endif()

# Installed, the program folder is <prefix>/lib/tallowby, with a link in <prefix>/bin; the
# spreadsheet plugin installs itself there too.
set(TALLOWBY_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/tallowby)
install(TARGETS tallowby RUNTIME DESTINATION ${TALLOWBY_INSTALL_DIR})
install(FILES ${TALLOWBY_PROGRAM_DIR}/HAND-M.CUR DESTINATION ${TALLOWBY_INSTALL_DIR})
install(FILES ${TALLOWBY_PROGRAM_DIR}/x/o.cjs DESTINATION ${TALLOWBY_INSTALL_DIR}/x)
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${TALLOWBY_INSTALL_DIR}/tallowby\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tallowby\" SYMBOLIC)")
foreach(size IN LISTS TALLOWBY_ICON_SIZES)
  install(FILES ${TALLOWBY_ICON_DIR}/tallowby-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tallowby.png)
endforeach()
install(FILES ${TALLOWBY_RESOURCES}/tallowby.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
