# Cross build: the setup image, the stand-in KOVA.exe, the Wine test programs, and Setup.exe
# (the image with the payload appended by the host setup-pack).
set(KOVA_HOST_TOOLS_DIR "${CMAKE_SOURCE_DIR}/build/release" CACHE PATH "Where the host build left setup-pack and scramble-text")
find_program(KOVA_SETUP_PACK setup-pack HINTS ${KOVA_HOST_TOOLS_DIR} NO_DEFAULT_PATH REQUIRED)
find_program(KOVA_SCRAMBLE_TEXT scramble-text HINTS ${KOVA_HOST_TOOLS_DIR} NO_DEFAULT_PATH REQUIRED)

set(KOVA_WIN32_LINK_OPTIONS -flto -Os -static -s -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat
    -Wl,--no-insert-timestamp -Wl,--build-id=none)
# The link map lets tests/image/check prove that no exception, demangler or printf code got in.
set(KOVA_SETUP_MAP_OPTION -Wl,-Map=${CMAKE_BINARY_DIR}/setup.map)
target_compile_options(kova_core PRIVATE -Werror)

set(KOVA_BANNER_BIN ${CMAKE_BINARY_DIR}/resources/banner.bin)
add_custom_command(OUTPUT ${KOVA_BANNER_BIN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
    COMMAND ${KOVA_SCRAMBLE_TEXT} ${CMAKE_SOURCE_DIR}/setup/resources/banner.txt ${KOVA_BANNER_BIN}
    DEPENDS ${CMAKE_SOURCE_DIR}/setup/resources/banner.txt
    COMMENT "Scrambling the banner text into resource 112")
add_custom_target(banner_resource DEPENDS ${KOVA_BANNER_BIN})

set(KOVA_RC ${CMAKE_SOURCE_DIR}/setup/resources/setup.rc)
set_source_files_properties(${KOVA_RC} PROPERTIES OBJECT_DEPENDS
    "${KOVA_BANNER_BIN};${KOVA_STRINGS_RC};${CMAKE_SOURCE_DIR}/setup/resources/resource_ids.h;${CMAKE_SOURCE_DIR}/setup/resources/kova.ico")
set(CMAKE_RC_FLAGS "-I ${CMAKE_SOURCE_DIR}/setup/resources -I ${CMAKE_BINARY_DIR}/resources")

add_executable(setup WIN32 ${KOVA_WIN32_SOURCES} ${KOVA_RC})
add_dependencies(setup banner_resource)
target_compile_options(setup PRIVATE -Werror)
target_link_options(setup PRIVATE ${KOVA_WIN32_LINK_OPTIONS} ${KOVA_SETUP_MAP_OPTION})
target_link_libraries(setup PRIVATE kova_core comctl32 gdi32 winspool shell32 advapi32 user32)

# The stand-in KOVA.exe: logs its command line beside itself, so tests see what the shell verbs start.
add_executable(KOVA WIN32 ${CMAKE_SOURCE_DIR}/payload/kova_stand_in.cpp)
target_compile_options(KOVA PRIVATE -Werror)
target_link_options(KOVA PRIVATE ${KOVA_WIN32_LINK_OPTIONS})

# The Wine test driver.
add_executable(e2e-driver ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
target_link_options(e2e-driver PRIVATE -static -s)
target_link_libraries(e2e-driver PRIVATE comctl32 user32 advapi32)

add_executable(planted-program WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/planted_program.cpp)
target_link_options(planted-program PRIVATE -static -s)

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Setup.exe
    COMMAND ${KOVA_SETUP_PACK} build --image $<TARGET_FILE:setup> --out ${CMAKE_BINARY_DIR}/Setup.exe
        $<TARGET_FILE:KOVA> ${CMAKE_SOURCE_DIR}/payload/KOVA.hlp ${CMAKE_SOURCE_DIR}/payload/KOVA.cnt
    DEPENDS setup KOVA ${KOVA_SETUP_PACK} ${CMAKE_SOURCE_DIR}/payload/KOVA.hlp ${CMAKE_SOURCE_DIR}/payload/KOVA.cnt
    COMMENT "Appending the payload: Setup.exe")
add_custom_target(setup_with_payload ALL DEPENDS ${CMAKE_BINARY_DIR}/Setup.exe)

# Renders one page text or the banner into a window the size of the tab display area, for screenshots.
file(GLOB KOVA_RENDER_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/setup/render/*_win32.cpp)
add_executable(render-window WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/render_window.cpp ${KOVA_RENDER_WIN32_SOURCES} ${KOVA_RC})
add_dependencies(render-window banner_resource)
target_link_options(render-window PRIVATE -static -s)
target_link_libraries(render-window PRIVATE kova_core comctl32 gdi32 user32)

# The yardstick of the start-up benchmark: a minimal dialog program linked like the setup image.
add_executable(minimal-dialog WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/minimal_dialog.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/minimal_dialog.rc)
target_link_options(minimal-dialog PRIVATE ${KOVA_WIN32_LINK_OPTIONS})
