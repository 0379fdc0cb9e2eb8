#pragma once
// setup-pack's side of the digest record and of a signature: what list and verify find after the
// bodies.
#include <span>
#include <string>

#include "archive/archive.h"

// The line list prints about the record: whether it is there.
std::string DigestRecordLine(std::span<const uint8_t> file, const SetupArchive& archive);

// Checks every body against the record; true with the line to print ("3 bodies, SHA-256
// verified", or that there is no record), false with the fault (which entry differs).
bool VerifyDigestRecord(std::span<const uint8_t> file, const SetupArchive& archive, std::string& line);

// Whether an Authenticode signature follows the archive (and its record), as a line to print.
std::string SignatureLine(std::span<const uint8_t> file, const SetupArchive& archive);
