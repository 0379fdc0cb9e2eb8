#include "startup.h"

bool IsBuildCommand(const char* tail) {
    if (tail == nullptr) return false;
    const char* word = "build";
    for (; *word != '\0'; ++word, ++tail) {
        const char c = (*tail >= 'A' && *tail <= 'Z') ? static_cast<char>(*tail - 'A' + 'a') : *tail;
        if (c != *word) return false;
    }
    return *tail == '\0';
}

const char* CommandTail(const char* commandLine) {
    if (commandLine == nullptr) return "";
    const char* at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"') ++at;
        if (*at == '"') ++at;
    } else {
        while (*at != '\0' && *at != ' ' && *at != '\t') ++at;
    }
    while (*at == ' ' || *at == '\t') ++at;
    return at;
}
