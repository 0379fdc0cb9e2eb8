#pragma once

// Sets the stack canaries' guard to a random value. Called first of all, from a function without a
// canary of its own: every function that is running when the guard changes would fail its check.
__attribute__((no_stack_protector)) void SetStackGuard();
