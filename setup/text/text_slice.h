#pragma once
// Part of a text that never throws: a start beyond the end gives an empty text, a count beyond the
// end stops at the end. The image is built without exceptions, and string_view::substr would
// bring the library's exception code in with its range check.
#include <algorithm>
#include <cstddef>
#include <string_view>

constexpr std::string_view Slice(std::string_view text, size_t start, size_t count = std::string_view::npos) {
    start = std::min(start, text.size());
    return {text.data() + start, std::min(count, text.size() - start)};
}
