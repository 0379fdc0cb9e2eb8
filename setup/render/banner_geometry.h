#pragma once
// The arithmetic of the scrolling banner. The text is drawn once into a strip holding three equal
// thirds, each the text repeated as often as it fits the banner; every frame copies one block of the
// strip to the banner. The text enters from the right once; from then on the copy jumps back by a
// third whenever it has moved on by one, which shows the same picture, so the ticker has no seam.
#include <cstddef>
#include <cstdint>

struct BannerMotion {
    int32_t frame = 0;
    int32_t step = 0;  // pixels per frame
    bool wrapped = false;
};

// One block copy from the strip to the banner window; nothing is copied when width or height is
// not positive.
struct BannerBlock {
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t destinationX = 0;
    int32_t destinationY = 0;
};

// How often a text `textWidth` wide fits into `innerWidth`, at least once; 0 for a text without
// width, which cannot fill a strip.
int32_t BannerRepeatCount(int32_t innerWidth, int32_t textWidth);

// Length of the strip text: the text `textLength` long repeated 3 x `repeatCount` times; 0 when that
// would not fit the platform's text calls (a length above INT32_MAX).
size_t BannerStripLength(size_t textLength, int32_t repeatCount);

// The block to copy for the current frame of a strip `stripWidth` x `stripHeight` shown in a banner
// whose inner rectangle ends at `innerRight`; advances `motion` by one frame. A step below 1 copies
// nothing.
BannerBlock NextBannerFrame(BannerMotion& motion, int32_t stripWidth, int32_t stripHeight, int32_t innerRight);
