#pragma once
// MiniRTF: single-byte text with directives in braces ("{center,title,post_linefeed}Welcome...")
// that switch font, colour and centring and move the pen. RenderMiniRtf lays a text out into a box,
// breaking it into lines and pages, and draws one page of it or only counts the pages.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ports.h"
#include "platform/text_device.h"

// Longer input is truncated to these lengths.
inline constexpr size_t kMiniRtfMaxBody = 254;
inline constexpr size_t kMiniRtfMaxSegment = 1023;
inline constexpr size_t kMiniRtfMaxWord = 254;  // including its trailing blank
inline constexpr size_t kMiniRtfMaxColorArgument = 18;

// Lays `text` (ending at its first zero byte or at the end of the view) out into `box` and, unless
// `measureOnly`, draws the words of `page` (counting from 1). Returns the number of pages the text
// fills. A malformed directive is reported through `messages` and ends the layout: the result is
// then the number of pages reached up to it.
int32_t RenderMiniRtf(TextDevice& device, TextRect box, std::string_view text, int32_t page, bool measureOnly,
                      Messages& messages);
