# Fails when unit_tests holds a suite that no unit.FILE test runs (cmake/host.cmake finds the
# suites by their TEST, TEST_F and TEST_P lines; one written otherwise would never run).
#   cmake -DUNIT_TESTS=PROGRAM -DSUITES=A;B;... -P unit_suites_check.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${UNIT_TESTS} --gtest_list_tests OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" lines "${listing}")
set(count 0)
set(missing "")
foreach(line ${lines})
    # A suite is an unindented line that ends with a dot: SUITE. or INSTANTIATION/SUITE.
    if(NOT line MATCHES "^([^ ]*/)?([A-Za-z0-9_]+)\\.$")
        continue()
    endif()
    math(EXPR count "${count} + 1")
    if(NOT CMAKE_MATCH_2 IN_LIST SUITES)
        list(APPEND missing ${CMAKE_MATCH_2})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "suites no unit.FILE test runs: ${missing}")
endif()
message(STATUS "all ${count} suites of unit_tests run in a unit.FILE test")
