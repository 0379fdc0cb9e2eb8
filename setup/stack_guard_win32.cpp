// The guard value of the stack canaries (-fstack-protector-strong) and what happens when a canary
// is found changed. The compiler's support library would bring console output that a program
// without a console cannot show, and seven more imports, for the same two symbols.
#include "stack_guard_win32.h"

#include <windows.h>

#include <cstdint>

extern "C" {

// Until SetStackGuard runs, a terminator canary: its zero, line-feed and 0xFF bytes stop most
// runaway string copies.
__attribute__((used)) uintptr_t __stack_chk_guard = 0xff0a0000;

// A changed canary means the stack has been overwritten: the process ends at once, without
// running any more of its own code, through the fail-fast interrupt (Windows 8 and later); on
// earlier systems that interrupt is itself a fault, as is the undefined instruction after it,
// and either ends the process the same way.
[[noreturn]] __attribute__((used)) void __stack_chk_fail() {
    __asm__ volatile("int $0x29" : : "c"(2));  // FAST_FAIL_STACK_COOKIE_CHECK_FAILURE
    __builtin_trap();
}

}  // extern "C"

namespace {

// One step of a 64-bit mixing function: every bit of the input reaches every bit of the output.
__attribute__((no_stack_protector)) uint64_t Mix(uint64_t value) {
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ull;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebull;
    return value ^ (value >> 31);
}

}  // namespace

// The guard comes from what kernel32 tells at the first instruction, as compilers' own start-up
// code makes it: the time, the performance counter, the process and thread ids, the tick count and
// an address on the stack, which address-space layout randomisation places. A random-number
// function of advapi32 would be better entropy, but Windows forwards it to cryptbase.dll, which is
// no KnownDLL: imported, it would be looked for beside the program before WinMain restricts the
// library search.
void SetStackGuard() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t mixed = Mix(static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime);
    mixed = Mix(mixed ^ static_cast<uint64_t>(counter.QuadPart));
    mixed = Mix(mixed ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32 | GetCurrentThreadId()));
    mixed = Mix(mixed ^ GetTickCount64());
    mixed = Mix(mixed ^ reinterpret_cast<uintptr_t>(&now));
    const auto guard = static_cast<uintptr_t>(mixed ^ (mixed >> 32));
    if (guard != 0) __stack_chk_guard = guard;
}
