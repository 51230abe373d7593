#pragma once
// Modal message boxes, always with the warning icon. The windows show real ones; tests answer by
// script.
#include <memory>
#include <string>

namespace tessmar::platform {

// The titles of the program's messages: the main window, the apply pass and the password change
// window, the custom entry editor, and the start-up gate.
inline constexpr const char* kMainTitle = "系统提示:";
inline constexpr const char* kEditorTitle = "系统提示";
inline constexpr const char* kGateTitle = "警告";

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows text (UTF-8) under title and waits until it is answered.
    virtual Answer show(const std::string& text, const std::string& title, Buttons buttons) = 0;
};

#ifdef _WIN32
// Windows' own message boxes (MessageBoxW), owned by the active window of the calling thread.
std::unique_ptr<MessageBoxes> makeSystemMessageBoxes();
#endif

}  // namespace tessmar::platform
