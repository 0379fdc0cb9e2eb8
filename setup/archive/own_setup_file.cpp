#include "archive/own_setup_file.h"

bool OwnSetupFile::Open() {
    open_ = files_.OpenOwnExecutable(file_, size_);
    return open_ && buffer_.Allocate(window_);
}

std::span<const uint8_t> OwnSetupFile::Read(uint64_t offset, uint64_t size) {
    if (offset >= size_ || failed_) return {};
    // The whole window, or up to the end of the file, is read for the reads that follow.
    const uint64_t left = size_ - offset;
    const size_t fill = left < window_ ? static_cast<size_t>(left) : window_;
    const size_t wanted = size < fill ? static_cast<size_t>(size) : fill;
    // A range the window holds already (the entry table right after the marker, say) is not read again.
    if (offset < bufferStart_ || offset - bufferStart_ + wanted > buffered_) {
        for (buffered_ = 0; buffered_ < fill;) {
            const long long got =
                files_.ReadAt(file_, offset + buffered_, buffer_.bytes().subspan(buffered_, fill - buffered_));
            if (got <= 0) {
                failed_ = true;
                buffered_ = 0;
                return {};
            }
            buffered_ += static_cast<size_t>(got);
        }
        bufferStart_ = offset;
    }
    return {buffer_.data() + (offset - bufferStart_), wanted};
}
