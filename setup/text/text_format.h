#pragma once
// snprintf for the setup program's own texts: %s, %.Ns, %d, %u, %ld, %lu, %c and %% only. The image
// uses it instead of the runtime's printf family, whose full implementation would triple its
// size. The result is always zero-terminated and never longer than capacity - 1; as with
// snprintf, the return value is the whole length, so a result of capacity or more means the
// text was cut.
#include <cstdarg>
#include <cstddef>

__attribute__((format(printf, 3, 4))) int FormatText(char* out, size_t capacity, const char* format, ...);
int FormatTextV(char* out, size_t capacity, const char* format, va_list args);
