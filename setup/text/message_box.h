#pragma once
// The one way the setup shows a message of its own: the text is formatted with FormatText's
// conversions into one buffer and shown in a box with the caption and style given. Returns the
// answer (kAnswerYes, ...). Texts longer than the buffer are cut.
#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "platform/ports.h"

inline constexpr uint32_t kErrorBox = MessageStyle::Ok | MessageStyle::IconError;
inline constexpr uint32_t kWarningBox = MessageStyle::Ok | MessageStyle::IconWarning;

// The longest message: the list of every payload file that could not be deleted.
inline constexpr size_t kMessageCapacity = 5120;
// A string of the string table used as a format: the longest is string 14 (about 300 characters).
inline constexpr size_t kStringFormatCapacity = 1024;

__attribute__((format(printf, 4, 5))) int ShowMessage(Messages& messages, const char* caption, uint32_t style,
                                                      const char* format, ...);

// The same with the arguments of a caller's own variadic function, for helpers that fix a caption.
int ShowMessageV(Messages& messages, const char* caption, uint32_t style, const char* format, va_list arguments);

// The same with string `id` of the string table as the format.
int ShowStringMessage(Platform& platform, int id, const char* caption, uint32_t style, ...);
