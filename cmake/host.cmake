# Native build: portable core, host tools, unit tests, benchmarks and fuzz targets.
target_compile_options(kova_core PRIVATE -Werror)

if(KOVA_FUZZ)
    # The in-memory ports, for targets that run a whole procedure.
    file(GLOB KOVA_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
    add_library(kova_fuzz_support STATIC ${KOVA_SUPPORT_SOURCES})
    target_compile_definitions(kova_fuzz_support PRIVATE KOVA_STRINGS_RC="${KOVA_STRINGS_RC}"
        KOVA_RESOURCE_IDS_H="${KOVA_RESOURCE_IDS_H}")
    target_link_libraries(kova_fuzz_support PUBLIC kova_core)
    file(GLOB KOVA_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
    foreach(src ${KOVA_FUZZERS})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_compile_definitions(${name} PRIVATE KOVA_STRINGS_RC="${KOVA_STRINGS_RC}"
            KOVA_RESOURCE_IDS_H="${KOVA_RESOURCE_IDS_H}")
        target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/generated)
        target_link_libraries(${name} PRIVATE kova_fuzz_support)
    endforeach()
    return()
endif()

find_package(OpenSSL REQUIRED COMPONENTS Crypto)
add_library(kova_posix STATIC ${CMAKE_SOURCE_DIR}/setup/platform/files_posix.cpp
    ${CMAKE_SOURCE_DIR}/setup/platform/hashing_posix.cpp)
target_link_libraries(kova_posix PUBLIC kova_core OpenSSL::Crypto)

add_executable(setup-pack tools/setup-pack/main.cpp tools/setup-pack/windows_1252.cpp
    tools/setup-pack/digest_report.cpp tools/setup-pack/background_hashing.cpp tools/setup-pack/setup_file.cpp)
target_include_directories(setup-pack PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(setup-pack PRIVATE KOVA_VERSION="${KOVA_VERSION}")
find_package(Threads REQUIRED)
target_link_libraries(setup-pack PRIVATE kova_posix Threads::Threads)

add_executable(scramble-text tools/scramble-text/main.cpp)
target_link_libraries(scramble-text PRIVATE kova_posix)

# The SetupDialog layout for the scripts (tests/e2e/lib/checks.sh): name, offset, width and kind of each field.
add_executable(record-layout tools/record-layout/main.cpp)
target_link_libraries(record-layout PRIVATE kova_core)

if(KOVA_BENCH)
    find_package(benchmark REQUIRED)
    file(GLOB KOVA_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
    foreach(src ${KOVA_BENCH_SOURCES})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/generated)
        target_link_libraries(${name} PRIVATE kova_posix benchmark::benchmark)
    endforeach()
endif()
if(NOT KOVA_UNIT_TESTS)
    return()
endif()

enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
if(NOT EXISTS ${KOVA_GOOGLETEST_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "no GoogleTest sources in ${KOVA_GOOGLETEST_DIR}: install Debian's googletest (scripts/deps) "
        "or set KOVA_GOOGLETEST_DIR")
endif()
add_subdirectory(${KOVA_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB KOVA_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
file(GLOB KOVA_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(unit_tests ${KOVA_TEST_SOURCES} ${KOVA_SUPPORT_SOURCES})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(unit_tests PRIVATE KOVA_STRINGS_RC="${KOVA_STRINGS_RC}"
    KOVA_RESOURCE_IDS_H="${KOVA_RESOURCE_IDS_H}" KOVA_VERSION="${KOVA_VERSION}"
    KOVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(unit_tests PRIVATE kova_posix GTest::gtest_main GTest::gmock)

# One CTest test per file of tests/unit/, unit.FILE, running the suites that file defines in one
# process of unit_tests: a process per case spends most of its time starting under the sanitizers.
# A failure names the file, and its output the case. A suite belongs to one file, so that no case
# runs twice; unit.every_suite_registered proves that every suite the program holds runs in one.
# Editing a test file registers its suites anew at the next build.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KOVA_TEST_SOURCES})
set(KOVA_UNIT_SUITES "")
foreach(src ${KOVA_TEST_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    file(STRINGS ${src} definitions REGEX "^(TEST|TEST_F|TEST_P)\\([A-Za-z0-9_]+,")
    list(TRANSFORM definitions REPLACE "^[A-Z_]+\\(([A-Za-z0-9_]+),.*$" "\\1")
    list(REMOVE_DUPLICATES definitions)
    set(filters "")
    foreach(suite ${definitions})
        get_property(owner GLOBAL PROPERTY kova_suite_${suite})
        if(owner)
            message(FATAL_ERROR "test suite ${suite} is defined in ${owner} and in ${name}.cpp: give each file its own suites")
        endif()
        set_property(GLOBAL PROPERTY kova_suite_${suite} ${name}.cpp)
        # A parameterised suite's cases are named INSTANTIATION/SUITE.CASE/N.
        list(APPEND filters "${suite}.*" "*/${suite}.*")
    endforeach()
    list(APPEND KOVA_UNIT_SUITES ${definitions})
    list(JOIN filters ":" filter)
    add_test(NAME unit.${name} COMMAND unit_tests --gtest_filter=${filter} --gtest_brief=1)
    set_tests_properties(unit.${name} PROPERTIES LABELS unit)
endforeach()
add_test(NAME unit.every_suite_registered COMMAND ${CMAKE_COMMAND} -DUNIT_TESTS=$<TARGET_FILE:unit_tests>
    "-DSUITES=${KOVA_UNIT_SUITES}" -P ${CMAKE_SOURCE_DIR}/cmake/unit_suites_check.cmake)
set_tests_properties(unit.every_suite_registered PROPERTIES LABELS unit)

include(${CMAKE_SOURCE_DIR}/cmake/tests.cmake)
