#pragma once
// Message boxes answered by script: every box shown is recorded, and answered from the queue of
// answers given in advance (OK when the queue is empty).
#include <deque>
#include <string>
#include <vector>

#include "platform/messages.h"

namespace tessmar::test {

struct ShownMessage {
    std::string text;
    std::string title;
    platform::Buttons buttons;
};

class ScriptedMessages : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string& text, const std::string& title,
                          platform::Buttons buttons) override {
        shown.push_back({text, title, buttons});
        if (answers.empty()) return platform::Answer::Ok;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<ShownMessage> shown;
    std::deque<platform::Answer> answers;
};

}  // namespace tessmar::test
