# Copies a folder of data files below the build tree's data root, so that a
# program run from the build tree finds them where an installed one would.
#   escuta_stage_data(TARGET name SOURCE dir DEST path/below/root)
function(escuta_stage_data)
  cmake_parse_arguments(ARG "" "TARGET;SOURCE;DEST" "" ${ARGN})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE "${ARG_SOURCE}" "${ARG_SOURCE}/*")
  set(outputs "")
  foreach(f ${files})
    set(out "${ESCUTA_BUILD_ROOT}/${ARG_DEST}/${f}")
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${ARG_SOURCE}/${f}" "${out}"
      DEPENDS "${ARG_SOURCE}/${f}" VERBATIM)
    list(APPEND outputs "${out}")
  endforeach()
  add_custom_target(${ARG_TARGET} ALL DEPENDS ${outputs})
endfunction()

# A GoogleTest executable registered with CTest, each test in a process of
# its own; with ONE_PROCESS, the whole program as one test, for tests that
# share nothing (each makes its own interpreter).
#   escuta_test(name [ONE_PROCESS] SOURCES... LIBS...)
function(escuta_test name)
  cmake_parse_arguments(ARG "ONE_PROCESS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_ONE_PROCESS)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "ESCUTA_ROOT=${ESCUTA_BUILD_ROOT}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "ESCUTA_ROOT=${ESCUTA_BUILD_ROOT}")
  endif()
endfunction()

# A program made of the engine and a script built into it: the script files
# are joined in order and turned into its table of lines at build time.
#   escuta_embedded_program(name SCRIPTS files... SOURCES files... [LIBS ...])
function(escuta_embedded_program name)
  cmake_parse_arguments(ARG "" "" "SCRIPTS;SOURCES;LIBS" ${ARGN})
  set(table "${CMAKE_CURRENT_BINARY_DIR}/${name}_script.cpp")
  add_custom_command(OUTPUT "${table}"
    COMMAND embed_script "${table}" ${ARG_SCRIPTS}
    DEPENDS embed_script ${ARG_SCRIPTS}
    WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
    COMMENT "Building the script into ${name}" VERBATIM)
  add_executable(${name} ${ARG_SOURCES} "${table}")
  target_link_libraries(${name} PRIVATE escuta_app ${ARG_LIBS})
endfunction()

# A program that runs scripts through roteiro: ROTEIRO names it, and it is
# built first with the diphone voice's data it speaks with.
#   escuta_uses_roteiro(target)
function(escuta_uses_roteiro target)
  target_compile_definitions(${target} PRIVATE ROTEIRO="$<TARGET_FILE:roteiro>")
  add_dependencies(${target} roteiro escuta_difones_data)
endfunction()

# A GoogleTest executable whose tests run scripts through roteiro.
#   escuta_script_test(name SOURCES... [LIBS...])
function(escuta_script_test name)
  escuta_test(${name} ${ARGN})
  escuta_uses_roteiro(${name})
endfunction()

# Installs folders of the build tree's data root, made or staged there by the
# build, into the read-only data (share/escuta), at the same place below it.
#   escuta_install_data(path/below/root...)
function(escuta_install_data)
  foreach(dir ${ARGN})
    get_filename_component(parent "${dir}" DIRECTORY)
    install(DIRECTORY "${ESCUTA_BUILD_ROOT}/${dir}" DESTINATION "${ESCUTA_INSTALL_DATADIR}/${parent}")
  endforeach()
endfunction()
