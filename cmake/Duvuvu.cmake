# Helpers shared by every folder's CMakeLists.

set(DUVUVU_WARNINGS -Wall -Wextra -Werror)
# GCC 12 at -O3 flags std::string concatenation with a false -Wrestrict.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND DUVUVU_WARNINGS -Wno-restrict)
endif()
set(DUVUVU_XVFB_WRAP "${CMAKE_SOURCE_DIR}/tests/xvfb-wrap")

# duvuvu_library(<target> DEPS <libs...>)
# Every .cpp in the calling folder (recursively) makes the library; the folder
# is its include root.
function(duvuvu_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
  target_compile_options(${target} PRIVATE ${DUVUVU_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# duvuvu_test(<target> SOURCES <files...> LIBS <libs...>)
# A GoogleTest binary; every run, discovery included, goes through xvfb-wrap.
function(duvuvu_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE ${DUVUVU_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE DUVUVU_BUNDLE_DIR="${DUVUVU_BUNDLE_DIR}")
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${DUVUVU_XVFB_WRAP}")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
endfunction()

# duvuvu_tests_in(<folder under tests/> LIBS <libs...>)
# One test binary per folder of tests, named after the folder.
function(duvuvu_tests_in folder)
  cmake_parse_arguments(ARG "" "NAME" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  duvuvu_test(${ARG_NAME} SOURCES ${sources} LIBS ${ARG_LIBS})
endfunction()

# duvuvu_benchmark(<target> SOURCES <files...> LIBS <libs...>)
# Built in every configuration; ctest runs it once, briefly, so it does not rot.
function(duvuvu_benchmark target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE ${DUVUVU_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  add_test(NAME ${target} COMMAND "${DUVUVU_XVFB_WRAP}" $<TARGET_FILE:${target}> --benchmark_min_time=0.001)
endfunction()
