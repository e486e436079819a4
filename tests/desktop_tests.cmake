# Tests of the desktop layer. They run offscreen, on recording stand-ins for message boxes, the
# folder dialog and the site visit, with the settings store in a temporary folder.
find_package(Qt6 REQUIRED COMPONENTS Test)

add_executable(tallowby_desktop_tests
  desktop/form1_test.cpp
  desktop/test_main.cpp
)
target_link_libraries(tallowby_desktop_tests PRIVATE tallowby_desktop tallowby_test_support
                      tallowby_warnings Qt6::Test GTest::gtest)
gtest_discover_tests(tallowby_desktop_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
