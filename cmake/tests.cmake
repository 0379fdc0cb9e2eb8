# Every test of the project in this one CTest tree, so that one ctest run gives one summary:
#   unit  the GoogleTest cases (host.cmake discovers them)
#   image each program in tests/image/: checks of the built dist/image/setup.exe and dist/Setup.exe
#   cli   each program in tests/tools/: the host tools' command lines
#   fuzz  each fuzz/NAME_fuzz.cpp, run for FUZZ_SECONDS (20) seconds from the fuzz preset's tree
#   e2e   each scenario_NAME function of tests/e2e/scenarios/*.sh, under Wine, side by side, as
#         e2e.win32.NAME (the shipped 32-bit Setup.exe in a 64-bit prefix, where the host can execute
#         32-bit x86 code) and e2e.win64.NAME (the x86-64 build of the same sources)
# The image, cli and e2e tests check what scripts/build left in dist/, build/win32 and build/win64.
# Scenario files are read at configure time; editing one reconfigures at the next build.

function(kova_script_tests label directory)
    file(GLOB scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${directory}/*)
    foreach(script ${scripts})
        get_filename_component(name ${script} NAME_WE)
        add_test(NAME ${label}.${name} COMMAND ${script} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
        set_tests_properties(${label}.${name} PROPERTIES LABELS ${label} TIMEOUT 900)
    endforeach()
endfunction()
kova_script_tests(image tests/image)
kova_script_tests(cli tests/tools)

add_test(NAME fuzz.build COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run --build WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(fuzz.build PROPERTIES LABELS fuzz FIXTURES_SETUP fuzz_build TIMEOUT 900)
file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(fuzzer ${fuzzers})
    get_filename_component(name ${fuzzer} NAME_WE)
    add_test(NAME fuzz.${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run ${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz FIXTURES_REQUIRED fuzz_build TIMEOUT 900)
endforeach()

# The Wine scenarios copy one booted template prefix, made before the first by tests/e2e/fixture.
# Each scenario has a display, a CUPS scheduler, a prefix and a work folder of its own
# (tests/e2e/scenario), so they run side by side; only the journey with a 1.5 GiB setup runs alone,
# for the disk space and memory it takes.
add_test(NAME e2e.template COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/fixture start template WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(e2e.template PROPERTIES LABELS e2e FIXTURES_SETUP e2e_template TIMEOUT 300)

# The 32-bit setup runs wherever the host can execute 32-bit x86 code (tried once, here); the x86-64
# twin runs everywhere, so that neither build rots. Where both run, the twin runs the journeys
# (scenario_journey_*), which start, install, upgrade and uninstall as users do: every scenario twice
# would double the suite's longest part.
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/can-execute i386 RESULT_VARIABLE runs_i386)
set(e2e_setups win64)
if(runs_i386 EQUAL 0)
    set(e2e_setups win32 win64)
endif()
file(GLOB scenario_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/scenarios/*.sh)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${scenario_files})
foreach(file ${scenario_files})
    file(STRINGS ${file} definitions REGEX "^scenario_[A-Za-z0-9_]+[ \t]*\\(\\)")
    foreach(definition ${definitions})
        string(REGEX REPLACE "^scenario_([A-Za-z0-9_]+).*$" "\\1" name "${definition}")
        foreach(setup ${e2e_setups})
            if(setup STREQUAL "win64" AND runs_i386 EQUAL 0 AND NOT name MATCHES "^journey_")
                continue()
            endif()
            add_test(NAME e2e.${setup}.${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/scenario ${name}
                WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
            set_tests_properties(e2e.${setup}.${name} PROPERTIES LABELS e2e TIMEOUT 600
                ENVIRONMENT E2E_SETUP=${setup} FIXTURES_REQUIRED e2e_template)
            if(name STREQUAL "journey_setup_of_one_and_a_half_gib_installs")
                set_tests_properties(e2e.${setup}.${name} PROPERTIES RUN_SERIAL ON)
            endif()
        endforeach()
    endforeach()
endforeach()

# Where the host cannot execute 32-bit code, the shipped 32-bit Setup.exe still runs the journeys
# that reach its WOW64 code (tests/e2e/wow64-journeys), in a whole 64-bit Debian machine under
# emulation (scripts/guest, tests/e2e/wow64): guest.run makes the guest when its recipe changed,
# boots it once and runs them all (stopping the guest after GUEST_SECONDS, 2700, so that making it
# and the run fit the test's time); guest.win32.NAME is each journey's result. Their label is guest,
# not e2e: the fast loop's scenario runs (tests/e2e/run) never wait for the guest.
if(NOT runs_i386 EQUAL 0)
    set(wow64 ${CMAKE_SOURCE_DIR}/tests/e2e/wow64)
    add_test(NAME guest.run COMMAND ${wow64} run WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(guest.run PROPERTIES LABELS guest FIXTURES_SETUP guest PROCESSORS 2 TIMEOUT 5400)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${wow64}-journeys)
    file(STRINGS ${wow64}-journeys guest_journeys REGEX "^[A-Za-z0-9_]+$")
    foreach(name ${guest_journeys})
        add_test(NAME guest.win32.${name} COMMAND ${wow64} result ${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
        set_tests_properties(guest.win32.${name} PROPERTIES LABELS guest FIXTURES_REQUIRED guest)
    endforeach()
endif()
