# Cross build: the setup image, the stand-in KOVA.exe, the Wine test programs, and Setup.exe
# (the image with the payload appended by the host setup-pack).
# The host tools (setup-pack, scramble-text) come from a native build tree: configured here when it
# does not exist yet, and brought up to date before anything here runs them, so that this preset
# configures and builds on its own.
set(KOVA_HOST_TOOLS_DIR "${CMAKE_SOURCE_DIR}/build/release" CACHE PATH "The native build tree of setup-pack and scramble-text")
if(NOT EXISTS ${KOVA_HOST_TOOLS_DIR}/CMakeCache.txt)
    message(STATUS "Configuring the host tools in ${KOVA_HOST_TOOLS_DIR}")
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${KOVA_HOST_TOOLS_DIR} -G ${CMAKE_GENERATOR}
        -DCMAKE_BUILD_TYPE=Release -DKOVA_UNIT_TESTS=OFF OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endif()
set(KOVA_SETUP_PACK ${KOVA_HOST_TOOLS_DIR}/setup-pack)
set(KOVA_SCRAMBLE_TEXT ${KOVA_HOST_TOOLS_DIR}/scramble-text)
add_custom_target(host_tools
    COMMAND ${CMAKE_COMMAND} --build ${KOVA_HOST_TOOLS_DIR} --target setup-pack scramble-text record-layout
    BYPRODUCTS ${KOVA_SETUP_PACK} ${KOVA_SCRAMBLE_TEXT}
    COMMENT "Bringing the host tools up to date")

set(KOVA_WIN32_LINK_OPTIONS -flto -Oz -static -s -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat
    -Wl,--tsaware -Wl,--no-insert-timestamp -Wl,--build-id=none)
# The link map lets tests/image/check prove that no exception, demangler or printf code got in.
set(KOVA_SETUP_MAP_OPTION -Wl,-Map=${CMAKE_BINARY_DIR}/setup.map)
target_compile_options(kova_core PRIVATE -Werror)

set(KOVA_BANNER_BIN ${CMAKE_BINARY_DIR}/resources/banner.bin)
add_custom_command(OUTPUT ${KOVA_BANNER_BIN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
    COMMAND ${KOVA_SCRAMBLE_TEXT} ${KOVA_BANNER_TXT} ${KOVA_BANNER_BIN}
    DEPENDS ${KOVA_BANNER_TXT} ${KOVA_SCRAMBLE_TEXT} host_tools
    COMMENT "Scrambling the banner text into resource 112")
add_custom_target(banner_resource DEPENDS ${KOVA_BANNER_BIN})

set(KOVA_RC ${CMAKE_SOURCE_DIR}/setup/resources/setup.rc)
set_source_files_properties(${KOVA_RC} PROPERTIES OBJECT_DEPENDS
    "${KOVA_BANNER_BIN};${KOVA_STRINGS_RC};${KOVA_RESOURCES_DIR}/kova_version.h;${CMAKE_SOURCE_DIR}/setup/resources/resource_ids.h;${CMAKE_SOURCE_DIR}/setup/resources/kova.ico;${CMAKE_SOURCE_DIR}/setup/resources/setup.manifest")
set(CMAKE_RC_FLAGS "-I ${CMAKE_SOURCE_DIR}/setup/resources -I ${CMAKE_BINARY_DIR}/resources")

# The image's sections: the runtime's small read-only tables join .rdata (cmake/compact_sections.py).
set(KOVA_SETUP_LINKER_SCRIPT ${CMAKE_BINARY_DIR}/setup-image.x)
# The toolchain's own linker: its default script differs between i686 and x86-64.
string(REGEX REPLACE "g\\+\\+$" "ld" KOVA_LINKER ${CMAKE_CXX_COMPILER})
execute_process(COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/cmake/compact_sections.py ${KOVA_LINKER}
                        ${KOVA_SETUP_LINKER_SCRIPT} COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/compact_sections.py)

# The image brings its own entry point (setup/main_win32.cpp) instead of the C runtime's start-up
# code. Data is never imported implicitly (a fix-up of the runtime's would be needed for it). The
# library functions that only the link-time code generation calls are named up front: found that
# late, their import stubs make this linker (binutils 2.40) crash. The i686 names carry a leading
# underscore and that target needs the 64-bit division helpers; x86-64 names its stack probe
# ___chkstk_ms and divides in hardware.
set(KOVA_SETUP_EARLY_SYMBOLS calloc free memchr memcmp memcpy memset strchr strcspn strlen strncmp strnlen
    __stack_chk_fail __stack_chk_guard)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    list(APPEND KOVA_SETUP_EARLY_SYMBOLS ___chkstk_ms)
    list(TRANSFORM KOVA_SETUP_EARLY_SYMBOLS PREPEND "-Wl,-u,")
else()
    list(APPEND KOVA_SETUP_EARLY_SYMBOLS __udivdi3 __udivmoddi4 __chkstk_ms)
    list(TRANSFORM KOVA_SETUP_EARLY_SYMBOLS PREPEND "-Wl,-u,_")
endif()

# The setup image, linked with LINK_OPTIONS besides what every setup image needs.
function(kova_setup_image target)
    cmake_parse_arguments(PARSE_ARGV 1 image "EXCLUDE_FROM_ALL" "" "LINK_OPTIONS")
    set(exclude "")
    if(image_EXCLUDE_FROM_ALL)
        set(exclude EXCLUDE_FROM_ALL)
    endif()
    add_executable(${target} WIN32 ${exclude} ${KOVA_WIN32_SOURCES} ${KOVA_RC})
    add_dependencies(${target} banner_resource)
    target_compile_options(${target} PRIVATE -Werror)
    target_link_options(${target} PRIVATE ${image_LINK_OPTIONS} -Wl,-T,${KOVA_SETUP_LINKER_SCRIPT}
        -nostartfiles -Wl,--disable-auto-import ${KOVA_SETUP_EARLY_SYMBOLS})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KOVA_SETUP_LINKER_SCRIPT})
    target_link_libraries(${target} PRIVATE kova_core gdi32 shell32 advapi32 user32)
endfunction()
kova_setup_image(setup LINK_OPTIONS ${KOVA_WIN32_LINK_OPTIONS} ${KOVA_SETUP_MAP_OPTION})
# The same image with its symbol table, for bench/run image to tell which functions and data take
# its room: stripping removes only the table, the code and data are laid out alike.
set(unstripped_options ${KOVA_WIN32_LINK_OPTIONS})
list(REMOVE_ITEM unstripped_options -s)
kova_setup_image(setup-symbols EXCLUDE_FROM_ALL LINK_OPTIONS ${unstripped_options})

# The stand-in KOVA.exe: logs its command line beside itself, so tests see what the shell verbs start.
add_executable(KOVA WIN32 ${CMAKE_SOURCE_DIR}/payload/kova_stand_in.cpp)
target_compile_options(KOVA PRIVATE -Werror)
target_link_options(KOVA PRIVATE ${KOVA_WIN32_LINK_OPTIONS})

# The Wine test driver.
add_executable(e2e-driver ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
target_link_options(e2e-driver PRIVATE -static -s)
target_link_libraries(e2e-driver PRIVATE comctl32 user32 advapi32)

# Stand-ins for libraries planted beside the setup: each leaves a marker file when it is loaded.
foreach(planted comctl32.dll winspool.drv cryptbase.dll cryptsp.dll)
    string(REPLACE "." "_" target planted_${planted})
    get_filename_component(base ${planted} NAME_WE)
    get_filename_component(extension ${planted} LAST_EXT)
    add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/planted_library.cpp)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ${extension}
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)
    target_link_options(${target} PRIVATE -static -s)
endforeach()

add_executable(planted-program WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/planted_program.cpp)
target_link_options(planted-program PRIVATE -static -s)

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Setup.exe
    COMMAND ${KOVA_SETUP_PACK} build --image $<TARGET_FILE:setup> --out ${CMAKE_BINARY_DIR}/Setup.exe
        $<TARGET_FILE:KOVA> ${CMAKE_SOURCE_DIR}/payload/KOVA.hlp ${CMAKE_SOURCE_DIR}/payload/KOVA.cnt
    DEPENDS setup KOVA host_tools ${KOVA_SETUP_PACK} ${CMAKE_SOURCE_DIR}/payload/KOVA.hlp ${CMAKE_SOURCE_DIR}/payload/KOVA.cnt
    COMMENT "Appending the payload: Setup.exe")
add_custom_target(setup_with_payload ALL DEPENDS ${CMAKE_BINARY_DIR}/Setup.exe)

# Renders one page text or the banner into a window the size of the tab display area, for screenshots.
file(GLOB KOVA_RENDER_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/setup/render/*_win32.cpp)
add_executable(render-window WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/render_window.cpp ${KOVA_RENDER_WIN32_SOURCES} ${KOVA_RC})
add_dependencies(render-window banner_resource)
target_link_options(render-window PRIVATE -static -s)
target_link_libraries(render-window PRIVATE kova_core comctl32 gdi32 user32)

# The benchmark programs run under Wine: the yardstick of the start-up (a minimal dialog program
# linked like the setup image), its floor (dialog 107 with a procedure that does nothing), the
# CopyFileA peer of the install (hashing too, when asked), and the timer that presses Install.
add_executable(minimal-dialog WIN32 ${CMAKE_SOURCE_DIR}/bench/win32/minimal_dialog.cpp ${CMAKE_SOURCE_DIR}/bench/win32/minimal_dialog.rc)
target_link_options(minimal-dialog PRIVATE ${KOVA_WIN32_LINK_OPTIONS})
add_executable(template-dialog WIN32 ${CMAKE_SOURCE_DIR}/bench/win32/template_dialog.cpp ${KOVA_RC})
add_dependencies(template-dialog banner_resource)
target_include_directories(template-dialog PRIVATE ${CMAKE_SOURCE_DIR}/setup)
target_link_options(template-dialog PRIVATE ${KOVA_WIN32_LINK_OPTIONS})
target_link_libraries(template-dialog PRIVATE comctl32 user32)
add_executable(copy-files ${CMAKE_SOURCE_DIR}/bench/win32/copy_files.cpp)
target_link_options(copy-files PRIVATE -static -s)
target_include_directories(copy-files PRIVATE ${CMAKE_SOURCE_DIR}/setup)
target_link_libraries(copy-files PRIVATE kova_core advapi32 user32)
add_executable(install-timer ${CMAKE_SOURCE_DIR}/bench/win32/install_timer.cpp)
target_include_directories(install-timer PRIVATE ${CMAKE_SOURCE_DIR}/setup)
target_link_options(install-timer PRIVATE -static -s)
target_link_libraries(install-timer PRIVATE user32)
