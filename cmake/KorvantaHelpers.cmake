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
    set(lock RESOURCE_LOCK ${arg_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${lock}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;no_proxy=127.0.0.1,localhost;NO_PROXY=127.0.0.1,localhost;KORVANTA_SOURCE_DIR=${PROJECT_SOURCE_DIR};KORVANTA_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
