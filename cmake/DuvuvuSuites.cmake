# Run by the build whenever a test binary changes (cmake -DSETTINGS=<file> -P
# ...): lists its cases and writes the ctest entries. Neighbouring suites share
# an entry, named after them all ("SuiteA+SuiteB"), until it holds about 20
# cases or 8 suites: a sanitized process start-up (runtime, SDL, GL, and the
# leak check at exit) costs more than most suites.
# Suites named in SUITES_PRIVATE get one entry per case on an X server of
# their own, labelled private_display.
#
# SETTINGS sets SUITES_EXECUTABLE, SUITES_EMULATOR (command list in front of
# it), SUITES_WORKDIR, SUITES_OUTPUT, SUITES_DISPLAY (none or the shared
# display's folder), SUITES_FIXTURE (empty or the shared display's fixture)
# and SUITES_PRIVATE.
include("${SETTINGS}")

set(skip_status 77)  # tests/support/TestMain.h

execute_process(COMMAND ${SUITES_EMULATOR} "${SUITES_EXECUTABLE}" --gtest_list_tests
                WORKING_DIRECTORY "${SUITES_WORKDIR}"
                OUTPUT_VARIABLE listing ERROR_VARIABLE listing_errors RESULT_VARIABLE status
                TIMEOUT 120)
if(NOT status EQUAL 0)
  file(REMOVE "${SUITES_OUTPUT}")
  message(FATAL_ERROR "Listing the tests of ${SUITES_EXECUTABLE} failed (${status}):\n${listing}\n${listing_errors}")
endif()

function(quoted out value)
  set(${out} "[==[${value}]==]" PARENT_SCOPE)
endfunction()

set(text "")
# name: the ctest entry; filter: its --gtest_filter; private: TRUE for a case
# on a server of its own.
function(add_entry name filter private)
  set(command ${SUITES_EMULATOR} "${SUITES_EXECUTABLE}" "--gtest_filter=${filter}" --gtest_also_run_disabled_tests)
  set(args "")
  foreach(part IN LISTS command)
    quoted(part "${part}")
    string(APPEND args " ${part}")
  endforeach()
  quoted(q_name "${name}")
  quoted(q_dir "${SUITES_WORKDIR}")
  set(properties "WORKING_DIRECTORY ${q_dir} SKIP_RETURN_CODE ${skip_status} TIMEOUT 300")
  if(private)
    string(APPEND properties " ENVIRONMENT [==[DUVUVU_TEST_DISPLAY=private]==] LABELS private_display")
  else()
    quoted(q_display "DUVUVU_TEST_DISPLAY=${SUITES_DISPLAY}")
    string(APPEND properties " ENVIRONMENT ${q_display}")
    if(SUITES_FIXTURE)
      string(APPEND properties " FIXTURES_REQUIRED ${SUITES_FIXTURE}")
    endif()
  endif()
  set(text "${text}add_test(${q_name}${args})\nset_tests_properties(${q_name} PROPERTIES ${properties})\n"
      PARENT_SCOPE)
endfunction()

# The listing: "Suite." lines, each followed by "  Case" lines; parameterised
# and typed ones carry a "  # ..." note after the name.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(group_cases 20)
set(group_suites 8)
set(suite "")
set(count 0)
set(group_name "")
set(group_filter "")
set(group_size 0)
set(group_count 0)
function(flush_group)
  if(group_count GREATER 0)
    add_entry("${group_name}" "${group_filter}" FALSE)
    set(text "${text}" PARENT_SCOPE)
  endif()
  set(group_name "" PARENT_SCOPE)
  set(group_filter "" PARENT_SCOPE)
  set(group_size 0 PARENT_SCOPE)
  set(group_count 0 PARENT_SCOPE)
endfunction()
foreach(line IN LISTS lines)
  string(REGEX REPLACE " *#.*$" "" line "${line}")
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^ ")
    if(group_size GREATER_EQUAL group_cases OR group_count GREATER_EQUAL group_suites)
      flush_group()
    endif()
    string(REGEX REPLACE "\\.$" "" suite "${line}")
    list(FIND SUITES_PRIVATE "${suite}" private_index)
    if(private_index EQUAL -1)
      if(group_count GREATER 0)
        string(APPEND group_name "+")
        string(APPEND group_filter ":")
      endif()
      string(APPEND group_name "${suite}")
      string(APPEND group_filter "${suite}.*")
      math(EXPR group_count "${group_count} + 1")
      math(EXPR count "${count} + 1")
    endif()
  else()
    list(FIND SUITES_PRIVATE "${suite}" private_index)
    if(NOT private_index EQUAL -1)
      string(STRIP "${line}" case)
      add_entry("${suite}.${case}" "${suite}.${case}" TRUE)
      math(EXPR count "${count} + 1")
    else()
      math(EXPR group_size "${group_size} + 1")
    endif()
  endif()
endforeach()
flush_group()

if(count EQUAL 0)
  message(FATAL_ERROR "${SUITES_EXECUTABLE} lists no tests:\n${listing}")
endif()
file(WRITE "${SUITES_OUTPUT}" "${text}")
