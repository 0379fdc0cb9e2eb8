#pragma once
// The drives and network shares of the machine, as far as the installation directory needs them.

class Volumes {
public:
    virtual ~Volumes() = default;
    // True when the root of a drive ("C:\") or of a network share ("\\server\share\") can be reached.
    virtual bool RootExists(const char* root) = 0;
};
