# The program folder: what lies beside the executable, in the build tree and once installed, and
# the links in <prefix>/bin that start the programs in it. Every front end uses these, so each
# rule is written once.
include_guard(GLOBAL)

# Copies SOURCE into the build tree's program folder as NAME (a path below the folder) and, on
# an installing build, installs it into the installed program folder. The copies are made by
# the target tallowby_program_files.
function(tallowby_beside_program source name)
  set(copy ${TALLOWBY_PROGRAM_DIR}/${name})
  get_filename_component(folder ${copy} DIRECTORY)
  add_custom_command(OUTPUT ${copy}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
                     DEPENDS ${source})
  set_property(GLOBAL APPEND PROPERTY TALLOWBY_PROGRAM_FOLDER_FILES ${copy})
  if(NOT WIN32)
    get_filename_component(below ${name} DIRECTORY)
    install(FILES ${copy} DESTINATION ${TALLOWBY_INSTALL_PROGRAM_DIR}/${below})
  endif()
endfunction()

# The target that makes every file tallowby_beside_program named; call it once, after them.
function(tallowby_add_program_files_target)
  get_property(files GLOBAL PROPERTY TALLOWBY_PROGRAM_FOLDER_FILES)
  add_custom_target(tallowby_program_files ALL DEPENDS ${files} ${ARGN})
endfunction()

# Installs the executable TARGET into the program folder and a link to it, named as the
# executable, in <prefix>/bin: the programs find their plugin and files beside themselves.
function(tallowby_install_with_command_link target)
  install(TARGETS ${target} RUNTIME DESTINATION ${TALLOWBY_INSTALL_PROGRAM_DIR})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${TALLOWBY_INSTALL_PROGRAM_DIR}/$<TARGET_FILE_NAME:${target}>\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>\"
         SYMBOLIC)")
endfunction()
