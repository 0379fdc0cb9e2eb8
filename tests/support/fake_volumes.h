#pragma once
// Drives and shares by their roots, with every root asked about recorded.
#include <set>
#include <string>
#include <vector>

#include "platform/volumes.h"

class FakeVolumes final : public Volumes {
public:
    bool RootExists(const char* root) override {
        asked.push_back(root);
        return roots.count(root) != 0;
    }
    std::set<std::string> roots = {"C:\\", "d:\\", "\\\\fileserver\\tools\\"};
    std::vector<std::string> asked;
};
