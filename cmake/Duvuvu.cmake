# Helpers shared by every folder's CMakeLists.

set(DUVUVU_WARNINGS -Wall -Wextra -Werror)
# Clang warns of an unused file-level constant, which the fuzz build (clang)
# then fails on; GCC says so only when asked.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND DUVUVU_WARNINGS -Wunused-const-variable=1)
endif()
# GCC 12 at -O3 flags std::string concatenation with a false -Wrestrict.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND DUVUVU_WARNINGS -Wno-restrict)
endif()
set(DUVUVU_XVFB_WRAP "${CMAKE_SOURCE_DIR}/tests/xvfb-wrap")
# Every test runs through display-wrap, which gives it the display its entry
# names: none, one of the run's shared Xvfb servers (the fixture below) or a
# private one.
set(DUVUVU_DISPLAY_WRAP "${CMAKE_SOURCE_DIR}/tests/display-wrap")
set(DUVUVU_SHARED_DISPLAY_DIR "${CMAKE_BINARY_DIR}/shared-display")
set(DUVUVU_SHARED_DISPLAY_FIXTURE shared_display)

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

# duvuvu_test(<target> SOURCES <files...> LIBS <libs...> [DISPLAY none|shared]
#             [PRIVATE_DISPLAY <suites...>])
# A GoogleTest binary, one ctest entry per group of suites. DISPLAY none runs it with no
# X display; shared (the default) on the run's shared servers. The suites named after
# PRIVATE_DISPLAY (real windows driven by xdotool, full-screen switches, the
# real program) get one entry per case, each on a server of its own, with the
# private_display label.
function(duvuvu_test target)
  cmake_parse_arguments(ARG "" "DISPLAY" "SOURCES;LIBS;PRIVATE_DISPLAY" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE ${DUVUVU_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} test_support test_main GTest::gtest)
  target_compile_definitions(${target} PRIVATE DUVUVU_BUNDLE_DIR="${DUVUVU_BUNDLE_DIR}")
  duvuvu_discover_tests(${target} DISPLAY ${ARG_DISPLAY} PRIVATE_DISPLAY ${ARG_PRIVATE_DISPLAY})
endfunction()

# duvuvu_discover_tests(<target> [DISPLAY none|shared] [PRIVATE_DISPLAY <suites...>])
# The ctest entries of a GoogleTest binary (linked with test_main), written by
# cmake/DuvuvuSuites.cmake.
function(duvuvu_discover_tests target)
  cmake_parse_arguments(ARG "" "DISPLAY" "PRIVATE_DISPLAY" ${ARGN})
  # An emulator already set (env with a driver's settings) goes in front.
  get_target_property(emulator ${target} CROSSCOMPILING_EMULATOR)
  if(NOT emulator)
    set(emulator "")
  endif()
  list(APPEND emulator "${DUVUVU_DISPLAY_WRAP}")
  if(ARG_DISPLAY STREQUAL "none")
    set(display none)
    set(fixture "")
  else()
    set(display "${DUVUVU_SHARED_DISPLAY_DIR}")
    set(fixture ${DUVUVU_SHARED_DISPLAY_FIXTURE})
  endif()
  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  set(settings "")
  foreach(pair "EXECUTABLE;$<TARGET_FILE:${target}>" "EMULATOR;${emulator}" "WORKDIR;${CMAKE_CURRENT_BINARY_DIR}"
               "OUTPUT;${base}_suites.cmake" "DISPLAY;${display}" "FIXTURE;${fixture}"
               "PRIVATE;${ARG_PRIVATE_DISPLAY}")
    list(POP_FRONT pair key)
    string(APPEND settings "set(SUITES_${key} [==[${pair}]==])\n")
  endforeach()
  file(GENERATE OUTPUT "${base}_suites_settings.cmake" CONTENT "${settings}")
  # Written again when the binary, its settings or the script change.
  add_custom_command(OUTPUT "${base}_suites.cmake"
                     COMMAND "${CMAKE_COMMAND}" -DSETTINGS=${base}_suites_settings.cmake
                             -P "${CMAKE_SOURCE_DIR}/cmake/DuvuvuSuites.cmake"
                     DEPENDS ${target} "${base}_suites_settings.cmake" "${CMAKE_SOURCE_DIR}/cmake/DuvuvuSuites.cmake"
                     COMMENT "Listing the suites of ${target}"
                     VERBATIM)
  add_custom_target(${target}_suites ALL DEPENDS "${base}_suites.cmake")
  file(WRITE "${base}_suites_include.cmake"
       "if(EXISTS [==[${base}_suites.cmake]==])\n  include([==[${base}_suites.cmake]==])\n"
       "else()\n  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${base}_suites_include.cmake")
endfunction()

# duvuvu_tests_in(<folder under tests/> NAME <target> LIBS <libs...> [DISPLAY ...] [PRIVATE_DISPLAY ...])
# One test binary per folder of tests, named after the folder.
function(duvuvu_tests_in folder)
  cmake_parse_arguments(ARG "" "NAME;DISPLAY" "LIBS;PRIVATE_DISPLAY" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  duvuvu_test(${ARG_NAME} SOURCES ${sources} LIBS ${ARG_LIBS} DISPLAY ${ARG_DISPLAY}
              PRIVATE_DISPLAY ${ARG_PRIVATE_DISPLAY})
endfunction()

# duvuvu_benchmark(<target> SOURCES <files...> LIBS <libs...> [SMOKE_ARGS <args...>])
# Built in every configuration; ctest runs it once, briefly, on the shared
# display, so it does not rot. SMOKE_ARGS go to that run only.
function(duvuvu_benchmark target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;SMOKE_ARGS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE ${DUVUVU_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  add_test(NAME ${target} COMMAND "${DUVUVU_DISPLAY_WRAP}" $<TARGET_FILE:${target}> --benchmark_min_time=0.001
           ${ARG_SMOKE_ARGS})
  set_tests_properties(${target} PROPERTIES ENVIRONMENT "DUVUVU_TEST_DISPLAY=${DUVUVU_SHARED_DISPLAY_DIR}"
                       FIXTURES_REQUIRED ${DUVUVU_SHARED_DISPLAY_FIXTURE})
endfunction()

# The shared Xvfb servers' start and stop, once per ctest run that needs them.
function(duvuvu_shared_display_fixture)
  add_test(NAME shared_display_start
           COMMAND "${CMAKE_SOURCE_DIR}/tests/shared-xvfb" start "${DUVUVU_SHARED_DISPLAY_DIR}")
  add_test(NAME shared_display_stop
           COMMAND "${CMAKE_SOURCE_DIR}/tests/shared-xvfb" stop "${DUVUVU_SHARED_DISPLAY_DIR}")
  set_tests_properties(shared_display_start PROPERTIES TIMEOUT 60 FIXTURES_SETUP ${DUVUVU_SHARED_DISPLAY_FIXTURE})
  set_tests_properties(shared_display_stop PROPERTIES TIMEOUT 60 FIXTURES_CLEANUP ${DUVUVU_SHARED_DISPLAY_FIXTURE})
endfunction()
