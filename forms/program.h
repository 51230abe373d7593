#pragma once
// What every window of the program shares, and the windows themselves: which are open, opening
// one (or bringing it forward when it is open already), and the values that live as long as the
// program. A front end implements Desktop; the forms do the rest.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "forms/layout.h"
#include "forms/view.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tessmar::forms {

struct Context {
    std::filesystem::path dir;  // the program directory
    platform::Registry& registry;
    platform::MessageBoxes& messages;
    platform::Shell& shell;
};

// A window's behaviour: the front end passes each event of its controls on to it.
class Form {
  public:
    virtual ~Form() = default;
    // The window has been made and shown: load what it shows.
    virtual void load() {}
    // A click of a button (or check box, after the front end toggled it).
    virtual void click(Id /*control*/) {}
    // A press of a mouse button; row is the grid row under the pointer (-1 elsewhere).
    virtual void mouseDown(Id /*control*/, Button /*button*/, int /*row*/) {}
    // The pointer moved over a control (or over the window's own background: empty id).
    virtual void mouseMove(Id /*control*/) {}
    // A key in a control, before the control sees it; true when the form has used it up.
    virtual bool key(Id /*control*/, Key /*key*/) { return false; }
    // The close box; false keeps the window open.
    virtual bool closing() { return true; }
    // Opened again while open, to show its data anew.
    virtual void refresh() {}
};

// The window system, as a front end offers it.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Makes the window of that kind from layoutOf(kind), shows it centred, takes its form from
    // Program::makeForm, and calls the form's load(). When the window is gone it calls
    // Program::closed(kind).
    virtual void show(WindowKind kind) = 0;
    // Brings the open window of that kind forward.
    virtual void raise(WindowKind kind) = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

class Program {
  public:
    Program(Context context, Desktop& desktop);
    ~Program();

    Context& context() { return context_; }
    Desktop& desktop() { return desktop_; }

    // Every window exists at most once: opening one that is open brings it forward (and, when
    // refresh, lets it show its data anew).
    void open(WindowKind kind, bool refresh = false);
    bool isOpen(WindowKind kind) const;
    // An open window of that kind shows its data anew, where it stands.
    void refresh(WindowKind kind);
    // The start-up gate opens the main window with the Windows directory it found.
    void openMain(std::string windir);

    // For the front end, while it makes a window: the form that drives it.
    std::unique_ptr<Form> makeForm(WindowKind kind, View& view);
    // For the front end: the window of that kind is gone.
    void closed(WindowKind kind);

    // The custom entry editor's operation under way: it survives the editor's window.
    std::int16_t editflag = 0;

    // What the preview window shows: the apply of this category with these flags.
    struct PreviewRequest {
        int category = 0;
        std::vector<bool> flags;
        int nrow = 1;
        std::vector<std::string> customRows{};  // the custom category's rows, as filled
    };
    PreviewRequest previewRequest;

  private:
    std::unique_ptr<Form> newForm(WindowKind kind, View& view);

    Context context_;
    Desktop& desktop_;
    std::array<Form*, kWindowCount> forms_{};  // the open windows' forms, owned by their windows
    std::string windir_;                       // handed from the gate to the main window
};

}  // namespace tessmar::forms
