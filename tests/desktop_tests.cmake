# Tests of the desktop layer. They run offscreen, on recording stand-ins for message boxes, the
# folder dialog and the site visit, with the settings store in a temporary folder.
find_package(Qt6 REQUIRED COMPONENTS Test)

add_executable(tallowby_desktop_tests
  desktop/appearance_test.cpp
  desktop/field_behaviour_test.cpp
  desktop/folder_command_test.cpp
  desktop/form1_test.cpp
  desktop/run_in_window_test.cpp
  desktop/startup_test.cpp
  desktop/test_main.cpp
)
target_link_libraries(tallowby_desktop_tests PRIVATE tallowby_desktop tallowby_test_support
                      tallowby_warnings Qt6::Test GTest::gtest)
target_compile_definitions(tallowby_desktop_tests PRIVATE
  TALLOWBY_TEST_PROGRAM_DIR="${TALLOWBY_PROGRAM_DIR}"
  TALLOWBY_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(tallowby_desktop_tests tallowby_program_files)
gtest_discover_tests(tallowby_desktop_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The real program under an X server, driven with xdotool as a user would. Each xvfb-run looks for
# a free display from a number of its own: two looking from the same number at the same moment
# can both take it, and one then runs against the other's server. -noreset: an X server resets
# when its last client leaves, and a program started again during the reset cannot connect.
find_program(XVFB_RUN xvfb-run)
find_program(XDOTOOL xdotool)
find_program(XCLIP xclip)
if(XVFB_RUN AND XDOTOOL AND XCLIP)
  add_test(NAME EndToEnd.GeneratesATextFileAndRestoresTheFields
           COMMAND ${XVFB_RUN} -a -n 100 -s "-screen 0 1280x1024x24 -noreset"
                   bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/end_to_end.sh $<TARGET_FILE:tallowby>)
  set_tests_properties(EndToEnd.GeneratesATextFileAndRestoresTheFields PROPERTIES TIMEOUT 120)
  if(TARGET tallowby_calc)
    add_test(NAME EndToEnd.FillsANewCalcWorkbookThatOutlivesTheProgram
             COMMAND ${XVFB_RUN} -a -n 120 -s "-screen 0 1280x1024x24 -noreset"
                     bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/excel_file.sh $<TARGET_FILE:tallowby>)
    set_tests_properties(EndToEnd.FillsANewCalcWorkbookThatOutlivesTheProgram PROPERTIES
                         TIMEOUT 240 RESOURCE_LOCK libreoffice)
  endif()
else()
  message(WARNING "xvfb-run, xdotool or xclip missing: the end-to-end test is not run")
endif()

add_test(NAME Install.PutsEverythingWhereTheDesktopFindsIt
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/install_tree.sh ${CMAKE_BINARY_DIR})
set_tests_properties(Install.PutsEverythingWhereTheDesktopFindsIt PROPERTIES TIMEOUT 120)
