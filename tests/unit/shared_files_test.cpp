#include "operations/shared_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "fake_registry.h"

namespace {

constexpr char kFile[] = "C:\\windows\\system32\\kovahelp.dll";

std::optional<uint32_t> Count(const FakeRegistry& registry) {
    return registry.Dword(RegRoot::LocalMachine, kSharedDllsKey, kFile);
}

// One more user, then taken back as a failed install does: the count is as it was.
TEST(SharedFiles, AddingAUserCountsItAndTakingItBackRestoresTheCount) {
    struct Case {
        const char* what;
        bool fileWasThere;
        std::optional<uint32_t> before;
        std::optional<uint32_t> afterAdding;
    };
    const Case cases[] = {
        {"a new file", false, std::nullopt, 1},
        {"a file there without a count has had a user", true, std::nullopt, 2},
        {"a counted file", true, 3, 4},
        {"a count at its largest stays", true, UINT32_MAX, UINT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry registry;
        if (c.before) registry.AddDword(RegRoot::LocalMachine, kSharedDllsKey, kFile, *c.before);
        const SharedFileCountBefore before = AddSharedFileUser(registry, kFile, c.fileWasThere);
        EXPECT_EQ(Count(registry), c.afterAdding);
        TakeBackSharedFileUser(registry, kFile, before);
        EXPECT_EQ(Count(registry), c.before);
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

// One user less: the last one may remove the file and then forgets its count; a count that cannot
// be read keeps the file.
TEST(SharedFiles, ReleasingCountsDownToTheLastUser) {
    struct Case {
        const char* what;
        std::optional<uint32_t> before;
        SharedFileRelease release;
        std::optional<uint32_t> after;
    };
    const Case cases[] = {
        {"another user remains", 3, SharedFileRelease::StillUsed, 2},
        {"the last user", 1, SharedFileRelease::LastUser, 1},
        {"a count of zero", 0, SharedFileRelease::StillUsed, 0},
        {"no count", std::nullopt, SharedFileRelease::StillUsed, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry registry;
        registry.AddKey(RegRoot::LocalMachine, kSharedDllsKey);
        if (c.before) registry.AddDword(RegRoot::LocalMachine, kSharedDllsKey, kFile, *c.before);
        EXPECT_EQ(ReleaseSharedFile(registry, kFile), c.release);
        EXPECT_EQ(Count(registry), c.after);
        ForgetSharedFile(registry, kFile);
        EXPECT_EQ(Count(registry), std::nullopt);
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

}  // namespace
