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
