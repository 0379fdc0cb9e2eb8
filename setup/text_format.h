#pragma once
// snprintf for the setup program's own texts: %s, %d, %u, %ld, %lu, %c and %% only. The image
// uses it instead of the runtime's printf family, whose full implementation would triple its
// size. The result is always zero-terminated and never longer than capacity - 1; the return
// value is the length it has (not the length it would have had).
#include <cstdarg>
#include <cstddef>

int FormatText(char* out, size_t capacity, const char* format, ...);
int FormatTextV(char* out, size_t capacity, const char* format, va_list args);
