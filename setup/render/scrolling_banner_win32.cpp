#include "render/scrolling_banner_win32.h"

#include <cstring>
#include <span>

#include "resources/resource_ids.h"
#include "text/scramble_codec.h"

namespace {

HFONT CreateBannerFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, DEFAULT_PITCH | FF_ROMAN, "MS Sans Serif");
}

}  // namespace

void ScrollingBanner::Create(HWND host, const char* text, int32_t step) {
    Release();
    host_ = host;
    motion_ = {0, step, false};
    if (text == nullptr || *text == '\0' || step < 1) return;
    HDC dc = GetDC(host_);
    const bool built = BuildStrip(dc, text);
    ReleaseDC(host_, dc);
    if (!built) Release();
}

bool ScrollingBanner::BuildStrip(HDC dc, const char* text) {
    RECT client{};
    GetClientRect(host_, &client);
    inner_ = client;
    InflateRect(&inner_, -2, -2);

    font_ = CreateBannerFont(inner_.bottom - inner_.top);
    memory_ = CreateCompatibleDC(dc);
    if (font_ == nullptr || memory_ == nullptr) return false;
    previousFont_ = SelectObject(memory_, font_);

    const size_t length = std::strlen(text);
    GetTextExtentPoint32A(memory_, text, static_cast<int>(length), &extent_);
    const size_t stripLength = BannerStripLength(length, BannerRepeatCount(inner_.right - inner_.left, extent_.cx));
    if (stripLength == 0 || !stripText_.Allocate(stripLength + 1)) return false;
    for (size_t at = 0; at < stripLength; at += length) std::memcpy(stripText_.data() + at, text, length);

    GetTextExtentPoint32A(memory_, stripText_.c_str(), static_cast<int>(stripLength), &extent_);
    strip_ = {0, 0, extent_.cx, extent_.cy};
    bitmap_ = CreateCompatibleBitmap(dc, extent_.cx, extent_.cy);
    if (bitmap_ == nullptr) return false;
    previousBitmap_ = SelectObject(memory_, bitmap_);
    FillRect(memory_, &strip_, GetSysColorBrush(COLOR_MENU));
    SetBkMode(memory_, TRANSPARENT);
    SetTextColor(memory_, RGB(255, 0, 0));
    TextOutA(memory_, 0, 0, stripText_.c_str(), static_cast<int>(stripLength));
    return true;
}

void ScrollingBanner::Advance() {
    if (bitmap_ == nullptr) return;
    const BannerBlock block = NextBannerFrame(motion_, extent_.cx, extent_.cy, inner_.right);
    if (block.width <= 0 || block.height <= 0) return;
    HDC dc = GetDC(host_);
    BitBlt(dc, block.destinationX, block.destinationY, block.width, block.height, memory_, block.sourceX, block.sourceY,
           SRCCOPY);
    ReleaseDC(host_, dc);
}

void ScrollingBanner::Release() {
    stripText_ = ByteBuffer();
    if (memory_ != nullptr) {
        if (previousBitmap_ != nullptr) SelectObject(memory_, previousBitmap_);
        if (previousFont_ != nullptr) SelectObject(memory_, previousFont_);
        DeleteDC(memory_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (font_ != nullptr) DeleteObject(font_);
    memory_ = nullptr;
    bitmap_ = nullptr;
    font_ = nullptr;
    previousBitmap_ = nullptr;
    previousFont_ = nullptr;
    motion_ = {};
}

void CreateBannerFromResource(ScrollingBanner& banner, HWND host, HMODULE module) {
    ByteBuffer text;
    if (HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDR_BANNER_TEXT), RT_SCRAMBLED_TEXT)) {
        const HGLOBAL loaded = LoadResource(module, resource);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes != nullptr) {
            const std::span<const uint8_t> block(static_cast<const uint8_t*>(bytes), SizeofResource(module, resource));
            text = ScrambleCodec(block, true, 0);
        }
    }
    banner.Create(host, text.empty() ? nullptr : text.c_str(), kBannerStep);
}
