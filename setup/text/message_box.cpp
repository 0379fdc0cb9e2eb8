#include "text/message_box.h"

#include <cstdarg>

#include "text/text_format.h"

int ShowMessageV(Messages& messages, const char* caption, uint32_t style, const char* format, va_list arguments) {
    char text[kMessageCapacity];
    FormatTextV(text, sizeof text, format, arguments);
    return messages.Show(text, caption, style);
}

int ShowMessage(Messages& messages, const char* caption, uint32_t style, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int answer = ShowMessageV(messages, caption, style, format, arguments);
    va_end(arguments);
    return answer;
}

int ShowStringMessage(Platform& platform, int id, const char* caption, uint32_t style, ...) {
    char format[kStringFormatCapacity] = {};
    platform.strings.Load(id, format, sizeof format);
    va_list arguments;
    va_start(arguments, style);
    const int answer = ShowMessageV(platform.messages, caption, style, format, arguments);
    va_end(arguments);
    return answer;
}
