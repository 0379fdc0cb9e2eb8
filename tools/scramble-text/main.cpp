// Build step: turns a one-line text file into a scrambled block for an "AFXBIN1" resource.
// Usage: scramble-text INPUT.txt OUTPUT.bin
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files_posix.h"
#include "text/scramble_codec.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: scramble-text INPUT OUTPUT\n");
        return 2;
    }
    PosixFileSystem files;
    FileView text;
    if (!files.MapFile(argv[1], text)) {
        std::fprintf(stderr, "scramble-text: cannot read %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    // One line: the trailing line break of the text file is not part of the banner.
    size_t length = text.size;
    while (length > 0 && (text.data[length - 1] == '\n' || text.data[length - 1] == '\r')) --length;
    const ByteBuffer block = ScrambleCodec({text.data, length}, false, static_cast<long>(length));
    files.Unmap(text);
    FileHandle out = -1;
    if (block.empty() || !files.CreateTruncated(argv[2], out) || !files.Write(out, block.bytes()) ||
        !files.Close(out)) {
        std::fprintf(stderr, "scramble-text: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
