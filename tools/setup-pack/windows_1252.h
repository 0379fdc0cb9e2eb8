#pragma once
// Entry names travel in Windows-1252, the code page the setup reads them in; the host tool takes
// and shows them in UTF-8.
#include <optional>
#include <string>
#include <string_view>

// nullopt when `utf8` is not valid UTF-8 or holds a character Windows-1252 cannot write.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);
std::string Windows1252ToUtf8(std::string_view text);
// For messages and listings: Windows1252ToUtf8 with control characters, and the bytes the code
// page leaves undefined, shown as \xNN so that nothing reaches a terminal as a control.
std::string PrintableName(std::string_view text);
