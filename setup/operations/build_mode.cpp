#include "operations/build_mode.h"

#include "archive/setup_writer.h"
#include "resources/resource_ids.h"
#include "text/message_box.h"
#include "text/scramble_codec.h"

namespace {

constexpr const char* kBuildErrorCaption = "Build Error";

bool WriteCredits(Platform& platform) {
    char credits[1024] = {};
    platform.strings.Load(IDS_CREDITS, credits, sizeof credits);
    const ByteBuffer block = ScrambleCodec({reinterpret_cast<const uint8_t*>(credits), sizeof credits}, false,
                                           kZeroTerminated);
    FileHandle file = -1;
    if (block.empty() || !platform.files.CreateTruncated(kBuildCreditsPath, file)) return false;
    const bool written = platform.files.Write(file, block.bytes());
    return platform.files.Close(file) && written;
}

void ReportBuildFailure(Platform& platform, const SetupWriteResult& result) {
    if (result.status == SetupWriteStatus::InputUnreadable || result.status == SetupWriteStatus::InputTooLarge) {
        ShowMessage(platform.messages, kBuildErrorCaption, kErrorBox,
                    "Build mode could not read \"%s\".\nNo setup program was written to %s.", result.path,
                    kBuildOutputPath);
    } else {
        ShowMessage(platform.messages, kBuildErrorCaption, kErrorBox,
                    "Build mode could not write %s.\nNo setup program was written.", kBuildOutputPath);
    }
}

}  // namespace

void RunBuildMode(Platform& platform) {
    // Deleted first: should anything below fail, no setup program of an earlier build passes for this one.
    platform.files.Delete(kBuildOutputPath);
    if (!WriteCredits(platform)) {
        ShowMessage(platform.messages, kBuildErrorCaption, kErrorBox, "Build mode could not write c:\\msg.bin.");
    }
    char marker[kMaxPath] = {};
    const int markerLength = platform.strings.Load(IDS_ARCHIVE_MARKER, marker, sizeof marker);
    const PayloadInput payload[] = {
        {kBuildProgramPath, "KOVA.exe"},
        {kBuildHelpPath, "KOVA.hlp"},
        {kBuildContentsPath, "KOVA.cnt"},
    };
    const SetupWriteResult result = WriteSetupExecutable(
        platform.files, {marker, static_cast<size_t>(markerLength > 0 ? markerLength : 0)}, kBuildImagePath, payload,
        kBuildOutputPath);
    if (result.status != SetupWriteStatus::Written) ReportBuildFailure(platform, result);
}
