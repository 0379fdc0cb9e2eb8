#pragma once
// The end of the setup's process at one operation of its file system or registry, as a power cut or
// a process ended from the task manager ends it: that operation does not happen (a write stops
// halfway through its bytes) and nothing after it runs. The fakes count their operations on one
// shared clock and throw ProcessEnded at the chosen one; what they hold then is what the next start finds.
#include <cstddef>
#include <optional>

struct ProcessEnded {};

struct Interruption {
    size_t operations = 0;
    std::optional<size_t> at;  // the operation, counted from 1, at which the process ends

    // Counts one operation; true when the process ends at it.
    bool Ends() { return ++operations == at; }
};
