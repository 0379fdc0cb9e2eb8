# Options of the native build, set before any target so the core library gets them too.
option(KOVA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KOVA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(KOVA_BENCH "Build the benchmarks" OFF)

add_compile_options(-Wall -Wextra)
if(KOVA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(KOVA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
