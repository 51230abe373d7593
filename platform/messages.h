#pragma once
// Modal message boxes, always with the warning icon. The windows show real ones; tests answer by
// script.
#include <string>

namespace tessmar::platform {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows text (UTF-8) under title and waits until it is answered.
    virtual Answer show(const std::string& text, const std::string& title, Buttons buttons) = 0;
};

}  // namespace tessmar::platform
