#pragma once
// What the tests of the Windows front end share: a form that records its events, and pumping the
// messages that the window system has queued.
#include <windows.h>

#include <string>
#include <vector>

#include "forms/program.h"

namespace tessmar::win32::test {

struct Recorder : forms::Form {
    std::vector<std::string> events;
    bool useKeys = false;    // key() answers this
    bool allowClose = true;  // closing() answers this
    forms::View* view = nullptr;

    void click(forms::Id id) override;
    void mouseDown(forms::Id id, forms::Button button, int row) override;
    void mouseMove(forms::Id id) override;
    bool key(forms::Id id, forms::Key key) override;
    bool closing() override;
    std::string last() const { return events.empty() ? std::string() : events.back(); }
};

// Handles every queued message.
void pump();

MSG message(HWND window, UINT id, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace tessmar::win32::test
