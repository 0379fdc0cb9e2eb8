#pragma once
// A one-line ticker in a framed strip: the text is drawn once into a memory bitmap, and every
// Advance copies one block of it into the strip, moving the text left by one step.
#include <windows.h>

#include <cstdint>

#include "platform/byte_buffer.h"
#include "render/banner_geometry.h"

inline constexpr int32_t kBannerStep = 2;  // pixels per frame

class ScrollingBanner {
public:
    ScrollingBanner() = default;
    ~ScrollingBanner() { Release(); }
    ScrollingBanner(const ScrollingBanner&) = delete;
    ScrollingBanner& operator=(const ScrollingBanner&) = delete;

    // Builds the strip for `text` in `host`. Without text, with a step below 1, or when the strip
    // cannot be built (a text without width, no memory), the banner stays empty and draws nothing.
    void Create(HWND host, const char* text, int32_t step);
    // Draws one frame into the host and moves on by one step.
    void Advance();
    // Frees the strip and everything drawn into it; the banner is empty afterwards.
    void Release();

private:
    bool BuildStrip(HDC dc, const char* text);

    HWND host_ = nullptr;
    RECT inner_{};
    RECT strip_{};
    SIZE extent_{};
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    BannerMotion motion_;
    ByteBuffer stripText_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
};

// Creates `banner` on `host` from the scrambled "AFXBIN1" resource 112 of `module`, with the
// banner's step. A missing or damaged resource leaves the banner empty.
void CreateBannerFromResource(ScrollingBanner& banner, HWND host, HMODULE module);
