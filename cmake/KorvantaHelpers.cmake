# Small helpers shared by the CMake files of the tree.

# korvanta_warnings(target): the project's warning level on one target.
function(korvanta_warnings target)
  target_compile_options(${target} PRIVATE ${KORVANTA_WARNINGS})
endfunction()

# korvanta_test_dir(name dir [RESOURCE_LOCK lock] LIBS...): one GoogleTest executable
# from every *.cpp in dir. Tests of executables naming the same lock never run at once.
function(korvanta_test_dir name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "RESOURCE_LOCK" "")
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} korvanta_test_support GTest::gtest GTest::gtest_main)
  korvanta_warnings(${name})
  set(lock)
  if(arg_RESOURCE_LOCK)
    set(lock PROPERTIES RESOURCE_LOCK ${arg_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    ${lock})
  # The environment of every test, set by a CTest script of its own that runs
  # after the discovered tests are defined: passed through gtest_discover_tests'
  # PROPERTIES, the list would be cut at its first separator.
  # LeakSanitizer does not read thread-local storage (use_tls=0): at the exit of
  # the executable, after the Firebird client has let its engine plugin go, its
  # tracer crashed reading the main thread's TLS ("Tracer caught signal 11").
  # Memory held only from TLS is then reported, never hidden.
  set(environment
    QT_QPA_PLATFORM=offscreen
    no_proxy=127.0.0.1,localhost
    NO_PROXY=127.0.0.1,localhost
    KORVANTA_SOURCE_DIR=${PROJECT_SOURCE_DIR}
    KORVANTA_BINARY_DIR=${PROJECT_BINARY_DIR}
    LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0:use_tls=0)
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${script}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"${environment}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
