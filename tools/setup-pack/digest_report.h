#pragma once
// setup-pack's side of the digest record and of a signature: what list and verify find after the
// bodies.
#include <string>

#include "archive/archive.h"
#include "archive/archive_digest.h"

// The line list prints about the record: whether it is there.
std::string DigestRecordLine(SetupBytes& file, const SetupArchive& archive);

// The line for the result of CheckArchiveDigests, as VerifyDigestRecord words it: true for a
// verified archive or one without a record, false for any other.
bool DigestCheckLine(const DigestCheckResult& result, uint32_t count, std::string& line);

// Checks every body against the record; true with the line to print ("3 bodies, SHA-256
// verified", or that there is no record), false with the fault (which entry differs).
bool VerifyDigestRecord(SetupBytes& file, const SetupArchive& archive, std::string& line);

// Whether an Authenticode signature follows the archive (and its record), as a line to print.
std::string SignatureLine(SetupBytes& file, const SetupArchive& archive);
