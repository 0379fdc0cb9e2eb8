#pragma once
// Records the exit codes passed to EndProgram. By default it returns, as the production code
// returns at once after EndProgram; with throwOnEnd it throws ThreadEnded to stop the caller dead.
#include <vector>

#include "platform/ports.h"

struct ThreadEnded {
    int exitCode = 0;
};

class FakeProcess final : public Process {
public:
    unsigned long CurrentThreadId() override { return threadId; }
    void EndProgram(int exitCode) override {
        endedWith.push_back(exitCode);
        if (throwOnEnd) throw ThreadEnded{exitCode};
    }

    unsigned long threadId = 1234;
    bool throwOnEnd = false;
    std::vector<int> endedWith;
};
