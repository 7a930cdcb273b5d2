# Test programs. On Linux each GoogleTest case is its own CTest test; under Wine
# a program is one CTest test, so that Wine starts once per program, not once
# per case (and not at build time for discovery).
if(NOT BUILD_TESTING)
  return()
endif()

if(CMAKE_CROSSCOMPILING)
  set(TAVIRAP_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TAVIRAP_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# tavirap_add_test(NAME SOURCES src... LIBS lib... [ENVIRONMENT var=value] [LABELS label])
function(tavirap_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS;ENVIRONMENT;LABELS")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main tavirap_options)
  if(CMAKE_CROSSCOMPILING)
    # On the C++ library's parts that the Windows programs link in its place.
    target_link_libraries(${name} PRIVATE tavirap_win32_runtime)
    # Everything under Wine is slow to start.
    list(APPEND arg_LABELS slow)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix
                         ENVIRONMENT "${arg_ENVIRONMENT}" LABELS "${arg_LABELS}")
  else()
    # Discovery flattens each property to one value here (CMake 3.25): one
    # variable in ENVIRONMENT, one label in LABELS; an empty one is left out,
    # or its name would take the next one's.
    set(properties)
    foreach(property ENVIRONMENT LABELS)
      if(arg_${property})
        list(APPEND properties ${property} "${arg_${property}}")
      endif()
    endforeach()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
  endif()
endfunction()
