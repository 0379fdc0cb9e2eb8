#pragma once
// Records every message box and answers from a script (kAnswerOk when the script is empty).
#include <deque>
#include <string>
#include <vector>

#include "platform/ports.h"

struct ShownMessage {
    std::string text;
    std::string caption;  // "<default>" when the box has the platform's default title
    uint32_t style = 0;
};

class FakeMessages final : public Messages {
public:
    int Show(const char* text, const char* caption, uint32_t style) override {
        shown.push_back({text, caption ? caption : "<default>", style});
        if (answers.empty()) return kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<ShownMessage> shown;
    std::deque<int> answers;
};
