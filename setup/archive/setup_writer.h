#pragma once
// Writes a setup executable: the setup image followed by a SetupArchive carrying the payload.
// Build mode and the setup-pack tool both write through this, so they give the same bytes.
#include <cstdint>
#include <span>
#include <string_view>

#include "archive/archive.h"
#include "platform/hashing.h"
#include "platform/ports.h"

struct PayloadInput {
    const char* path;         // where the payload file is read from
    const char* name;         // the entry name: a bare file name
    uint8_t destination = 0;  // 0 installation directory, 1 system directory
};

// TooManyFiles: more than kMaxArchiveEntries. BadName: `fault` says which rule the name breaks.
// InputTooLarge: with `path`, the setup would grow beyond kMaxSetupSize (`size` bytes).
// HashFailed: with `path`, the SHA-256 of that input's body could not be computed.
enum class SetupWriteStatus {
    Written,
    BadMarker,
    TooManyFiles,
    BadName,
    InputUnreadable,
    InputTooLarge,
    OutputFailed,
    HashFailed
};

struct SetupWriteResult {
    SetupWriteStatus status = SetupWriteStatus::Written;
    const char* path = nullptr;  // the input or output that failed
    ArchiveFault fault = ArchiveFault::None;
    const char* earlierPath = nullptr;  // for SameName: the input whose name it repeats
    uint64_t size = 0;
};

// The names are checked as the reader checks them, and every input is opened and measured before
// the output is created, so a refused name or a missing input leaves no output at all; an output
// that fails part-way is deleted again. The output is created truncated.
SetupWriteResult WriteSetupExecutable(FileSystem& files, std::string_view marker, const char* imagePath,
                                      std::span<const PayloadInput> payload, const char* outputPath);

// The same setup followed by its digest record (archive_digest.h). Each body is hashed as it is
// copied, so every input is read once. The copy alternates between two buffers, and `hashing` may go
// on reading the piece it was given after Add returns, until its next call: a hasher may work on one
// piece while the next is read and the last one written.
SetupWriteResult WriteSetupExecutableWithDigests(FileSystem& files, std::string_view marker, const char* imagePath,
                                                 std::span<const PayloadInput> payload, const char* outputPath,
                                                 Hashing& hashing);

// The same into `out`, a file the caller has created empty and open for writing, and closes (and
// removes when this fails) itself: setup-pack writes so through the descriptor of its temporary
// file and never opens that file again by name. `outputName` is only for the result; without
// `hashing` no digest record is written.
SetupWriteResult WriteSetupExecutableInto(FileSystem& files, std::string_view marker, const char* imagePath,
                                          std::span<const PayloadInput> payload, FileHandle out, const char* outputName,
                                          Hashing* hashing);
