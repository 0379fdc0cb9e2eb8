#include "rc_strings.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Resource-script string literal: "" is one double quote, \n a line break, \\ a backslash.
std::string Unquote(const std::string& literal) {
    std::string out;
    for (size_t i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if (c == '"' && i + 1 < literal.size() && literal[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (c == '\\' && i + 1 < literal.size()) {
            const char next = literal[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

RcStrings::RcStrings() {
    const std::string rcPath = KOVA_STRINGS_RC;
    const std::string idsPath = KOVA_RESOURCE_IDS_H;
    std::map<std::string, int> ids;
    const std::string header = ReadFile(idsPath);
    const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it) {
        ids[(*it)[1]] = std::stoi((*it)[2]);
    }
    const std::string script = ReadFile(rcPath);
    const std::regex entry(R"re(^\s*(\w+)\s+"((?:[^"]|"")*)"\s*$)re", std::regex::multiline);
    for (std::sregex_iterator it(script.begin(), script.end(), entry), end; it != end; ++it) {
        const auto id = ids.find((*it)[1]);
        if (id == ids.end()) throw std::runtime_error("strings.rc names unknown id " + (*it)[1].str());
        table_[id->second] = Unquote((*it)[2]);
    }
}

int RcStrings::Load(int id, char* buffer, int capacity) {
    const auto it = table_.find(id);
    if (capacity <= 0) return 0;
    if (it == table_.end()) {
        buffer[0] = '\0';
        return 0;
    }
    // LoadStringA copies at most capacity - 1 characters and always terminates.
    const int length = static_cast<int>(std::min<size_t>(it->second.size(), static_cast<size_t>(capacity - 1)));
    std::memcpy(buffer, it->second.data(), static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}

const std::string& RcStrings::Text(int id) const {
    static const std::string none;
    const auto it = table_.find(id);
    return it == table_.end() ? none : it->second;
}
