#include "setup_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr size_t kWindow = size_t{1} << 20;

}  // namespace

SetupFile::~SetupFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

bool SetupFile::Open(const char* path) {
    descriptor_ = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ < 0) return false;
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) return false;
    if (!S_ISREG(status.st_mode)) {
        errno = EINVAL;
        return false;
    }
    size_ = static_cast<uint64_t>(status.st_size);
    modified_ = status.st_mtim;
    window_.resize(kWindow);
    return true;
}

std::span<const uint8_t> SetupFile::Read(uint64_t offset, uint64_t size) {
    if (offset >= size_ || failed_) return {};
    const uint64_t left = size_ - offset;
    const size_t fill = left < kWindow ? static_cast<size_t>(left) : kWindow;
    const size_t wanted = size < fill ? static_cast<size_t>(size) : fill;
    if (offset < windowStart_ || offset - windowStart_ + wanted > windowed_) {
        for (windowed_ = 0; windowed_ < fill;) {
            const ssize_t got = ::pread(descriptor_, window_.data() + windowed_, fill - windowed_,
                                        static_cast<off_t>(offset + windowed_));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                cutShort_ = got == 0;
                failed_ = true;
                windowed_ = 0;
                return {};
            }
            windowed_ += static_cast<size_t>(got);
        }
        windowStart_ = offset;
    }
    return {window_.data() + (offset - windowStart_), wanted};
}

bool SetupFile::Changed() const {
    struct stat status {};
    if (cutShort_ || ::fstat(descriptor_, &status) != 0) return true;
    return static_cast<uint64_t>(status.st_size) != size_ || status.st_mtim.tv_sec != modified_.tv_sec ||
           status.st_mtim.tv_nsec != modified_.tv_nsec;
}
