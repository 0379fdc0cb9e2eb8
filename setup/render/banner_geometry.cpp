#include "render/banner_geometry.h"

#include <algorithm>
#include <limits>

int32_t BannerRepeatCount(int32_t innerWidth, int32_t textWidth) {
    if (textWidth <= 0) return 0;
    return std::max(innerWidth / textWidth, 1);
}

size_t BannerStripLength(size_t textLength, int32_t repeatCount) {
    constexpr size_t kLimit = std::numeric_limits<int32_t>::max();
    if (repeatCount <= 0 || textLength == 0) return 0;
    const size_t copies = 3 * static_cast<size_t>(repeatCount);
    if (textLength > kLimit / copies) return 0;
    return textLength * copies;
}

BannerBlock NextBannerFrame(BannerMotion& motion, int32_t stripWidth, int32_t stripHeight, int32_t innerRight) {
    if (motion.step < 1) return {};
    int64_t offset = static_cast<int64_t>(motion.frame) * motion.step;
    if (offset >= stripWidth / 3 + static_cast<int64_t>(innerRight)) {
        motion.wrapped = true;
        offset = innerRight;
        motion.frame = innerRight / motion.step;
    }
    BannerBlock block;
    block.height = stripHeight;
    block.destinationY = 1;
    if (innerRight - offset < 1 || motion.wrapped) {
        block.sourceX = static_cast<int32_t>(offset - innerRight);
        block.width = innerRight;
        block.destinationX = 1;
    } else {
        block.width = static_cast<int32_t>(offset);
        block.destinationX = static_cast<int32_t>(innerRight - offset);
    }
    ++motion.frame;
    return block;
}
