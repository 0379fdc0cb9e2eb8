// The guard value of the stack canaries (-fstack-protector-strong) and what happens when a canary
// is found changed. The compiler's support library would bring console output that a program
// without a console cannot show, and seven more imports, for the same two symbols.
#include "stack_guard_win32.h"

// clang-format off
#include <windows.h>
#include <ntsecapi.h>  // needs windows.h first
// clang-format on

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

void SetStackGuard() {
    uintptr_t guard = 0;
    if (RtlGenRandom(&guard, sizeof guard) && guard != 0) __stack_chk_guard = guard;
}
