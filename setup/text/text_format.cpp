#include "text/text_format.h"

#include <cstdarg>
#include <cstdint>

namespace {

class Output {
public:
    Output(char* out, size_t capacity) : out_(out), capacity_(capacity) {}
    void Put(char c) {
        if (length_ + 1 < capacity_) out_[length_] = c;
        ++length_;
    }
    void Put(const char* text, size_t most = SIZE_MAX) {
        for (; most > 0 && *text != '\0'; ++text, --most) Put(*text);
    }
    void PutNumber(unsigned long long value, bool negative) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (negative) Put('-');
        while (count > 0) Put(digits[--count]);
    }
    int Finish() {
        if (capacity_ > 0) out_[length_ < capacity_ ? length_ : capacity_ - 1] = '\0';
        return static_cast<int>(length_);
    }

private:
    char* out_;
    size_t capacity_;
    size_t length_ = 0;
};

}  // namespace

int FormatText(char* out, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = FormatTextV(out, capacity, format, args);
    va_end(args);
    return length;
}

int FormatTextV(char* out, size_t capacity, const char* format, va_list args) {
    Output output(out, capacity);
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            output.Put(*p);
            continue;
        }
        // "%.Ns" reads at most N characters, for fields that need not end with a zero.
        const char* directive = p + 1;
        size_t precision = SIZE_MAX;
        if (directive[0] == '.' && directive[1] >= '0' && directive[1] <= '9') {
            precision = 0;
            for (++directive; *directive >= '0' && *directive <= '9'; ++directive) {
                precision = precision * 10 + static_cast<size_t>(*directive - '0');
            }
            if (*directive != 's') {
                output.Put('%');
                continue;
            }
        }
        const bool isLong = directive[0] == 'l';
        const char conversion = isLong ? directive[1] : directive[0];
        switch (conversion) {
            case 's': {
                const char* text = va_arg(args, const char*);
                output.Put(text != nullptr ? text : "(null)", precision);
                break;
            }
            case 'd': {
                const long long value = isLong ? va_arg(args, long) : va_arg(args, int);
                output.PutNumber(value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value),
                                 value < 0);
                break;
            }
            case 'u':
                output.PutNumber(isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned int), false);
                break;
            case 'c':
                output.Put(static_cast<char>(va_arg(args, int)));
                break;
            case '%':
                output.Put('%');
                break;
            default:  // not a conversion this program uses: keep the text as it stands
                output.Put('%');
                continue;
        }
        p = directive + (isLong ? 1 : 0);
    }
    return output.Finish();
}
