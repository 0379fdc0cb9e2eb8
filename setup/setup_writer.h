#pragma once
// Writes a setup executable: the setup image followed by a SetupArchive carrying the payload.
// Build mode and the setup-pack tool both write through this, so they give the same bytes.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ports.h"

struct PayloadInput {
    const char* path;         // where the payload file is read from
    const char* name;         // the entry name: a bare file name
    uint8_t destination = 0;  // 0 installation directory, 1 system directory
};

enum class SetupWriteStatus { Written, BadMarker, BadName, InputUnreadable, InputTooLarge, OutputFailed };

struct SetupWriteResult {
    SetupWriteStatus status = SetupWriteStatus::Written;
    const char* path = nullptr;  // the input or output that failed
};

// Every input is opened and measured before the output is created, so a missing input leaves no
// output at all; an output that fails part-way is deleted again. The output is created truncated.
SetupWriteResult WriteSetupExecutable(FileSystem& files, std::string_view marker, const char* imagePath,
                                      std::span<const PayloadInput> payload, const char* outputPath);
