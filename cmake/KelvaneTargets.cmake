# kv_library(NAME DEPS...): a static library of every .cpp in the calling folder
# (fuzz entry points excluded), public headers included as "folder/name.h".
function(kv_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_fuzz\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# kv_test(NAME [OWN_MAIN] DEPS...): one GoogleTest executable of every .cpp in the calling
# folder. Without OWN_MAIN it gets a main() that runs the tests inside a QCoreApplication.
function(kv_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OWN_MAIN" "" "")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} kv_testsupport GTest::gmock GTest::gtest)
  if(NOT arg_OWN_MAIN)
    target_link_libraries(${name} PRIVATE kv_test_main)
  endif()
  # Tests find the program folder and the sources without any environment.
  target_compile_definitions(${name} PRIVATE
    KELVANE_TEST_BIN_DIR="${KELVANE_BIN_DIR}" KELVANE_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
      ENVIRONMENT_MODIFICATION
        "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/tests/sanitize/lsan.supp"
    DISCOVERY_TIMEOUT 60)
endfunction()

# kv_bench(NAME SOURCE DEPS...): one Google Benchmark program.
function(kv_bench name source)
  add_executable(${name} ${source})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARGN} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
