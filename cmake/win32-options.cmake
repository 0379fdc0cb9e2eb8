# Options of the cross build: a small image (-Oz) without exceptions, RTTI, unwind tables or thread-safe
# static guards (one thread), every unused function dropped, and the source directory taken out of
# __FILE__ so that builds are repeatable. Functions with arrays on the stack check a canary before
# they return (-fstack-protector-strong): a setup that runs elevated reads outside input.
set(KOVA_WIN32_COMPILE_OPTIONS -Oz -fstack-protector-strong -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
    -fno-threadsafe-statics -fno-asynchronous-unwind-tables -fno-unwind-tables
    -flto -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -Wall -Wextra)
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${KOVA_WIN32_COMPILE_OPTIONS}>")
add_link_options(-fstack-protector-strong)  # links the canary's support library
add_compile_definitions(WIN32_LEAN_AND_MEAN)
