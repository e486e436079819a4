# The icon splitter refuses icons the program cannot carry, saying why.
#
#   cmake -DWORK=<folder> -DSOURCE=<source folder> -P icon_refusal_test.cmake
cmake_minimum_required(VERSION 3.25)

set(cases
    "three images|32:24,256:32,128:32||holds 3 images, the program's icon has 4"
    "a 32-bit 32 x 32 image|32:32,256:32,128:32,48:32||image 0 is 32 x 32 at 32 bits"
    "the images in another order|256:32,32:24,128:32,48:32||image 0 is 256 x 256 at 32 bits"
    "a PNG image|32:24,256:32,128:32,48:32|1|image 1 is not an uncompressed bitmap")
file(MAKE_DIRECTORY "${WORK}")
set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 what)
  list(GET case 1 images)
  list(GET case 2 png)
  list(GET case 3 reason)
  set(arguments -DOUTPUT=${WORK}/refused.ico -DIMAGES=${images})
  if(NOT png STREQUAL "")
    list(APPEND arguments -DPNG_IMAGE=${png})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} ${arguments}
                          -P ${SOURCE}/tests/win32/resources/make_test_icon.cmake
                  RESULT_VARIABLE made)
  execute_process(COMMAND ${CMAKE_COMMAND} -DICON=${WORK}/refused.ico
                          -DOUTPUT=${WORK}/refused.rc -P ${SOURCE}/cmake/icon_to_rc.cmake
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  string(REGEX REPLACE "[ \n]+" " " error "${error}")
  if(NOT made EQUAL 0)
    string(APPEND failures "${what}: the test icon could not be made\n")
  elseif(result EQUAL 0)
    string(APPEND failures "${what}: accepted\n")
  elseif(NOT error MATCHES "${reason}")
    string(APPEND failures "${what}: refused with \"${error}\", not \"${reason}\"\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "every case refused")
