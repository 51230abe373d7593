#pragma once
// What every window of the program shares, and the windows themselves: which are open, the life of
// each from opening to closing, and the values that live as long as the program. A front end
// implements Desktop; the forms do the rest.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/apply.h"
#include "engine/target.h"
#include "forms/layout.h"
#include "forms/view.h"
#include "platform/accounts.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tessmar::forms {

struct Context {
    std::filesystem::path dir;  // the program directory
    platform::Registry& registry;
    platform::MessageBoxes& messages;
    platform::Shell& shell;
    // The PC's accounts, for the targets of an apply; nullptr: the system's own.
    platform::Accounts* accounts = nullptr;
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

// The window system, as a front end offers it: it makes, shows, raises and destroys windows, and
// tells the program when one has closed. The program drives every window's life.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Makes the window of that kind from layoutOf(kind), hidden; nullptr when it cannot be made.
    virtual View* make(WindowKind kind) = 0;
    // Shows the made window of that kind centred on its screen and activates it; from now on its
    // events go to form. A window that closes (its close box, when form->closing() allows it, or
    // View::close) is destroyed by the front end, which then calls Program::closed(kind).
    virtual void show(WindowKind kind, Form& form) = 0;
    // Brings the open window of that kind forward.
    virtual void raise(WindowKind kind) = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

// The window that a later start of the program brings forward, of those that isOpen says are
// open: the main window, else the gate, else the first open one.
std::optional<WindowKind> windowToBringForward(const std::function<bool(WindowKind)>& isOpen);

class Program {
  public:
    Program(Context context, Desktop& desktop);
    ~Program();

    Context& context() { return context_; }
    Desktop& desktop() { return desktop_; }

    // Every window exists at most once: opening one that is open brings it forward (and, when
    // refresh, lets it show its data anew). Otherwise the desktop makes the window, its form is
    // made for it, and the window is shown before the form loads, so that a message of the load
    // stands over its own window; what the window shows at first comes from its table.
    void open(WindowKind kind, bool refresh = false);
    bool isOpen(WindowKind kind) const;
    // What a later start of the program asks of the running one: its window brought forward.
    void bringForward();
    // An open window of that kind shows its data anew, where it stands.
    void refresh(WindowKind kind);
    // The start-up gate opens the main window with the Windows directory it found.
    void openMain(std::string windir);
    // The preview window shows what an apply of this request would change, worked out anew;
    // customRows are the custom checklist's rows as filled, checked against user.dat as the apply
    // checks them.
    void openPreview(engine::ApplyRequest request, std::vector<std::string> customRows = {},
                     engine::Target target = {});
    // The apply that the preview window shows.
    const engine::ApplyRequest& previewRequest() const { return previewRequest_; }
    const std::vector<std::string>& previewRows() const { return previewRows_; }
    // Whose registry it would write.
    const engine::Target& previewTarget() const { return previewTarget_; }

    // The PC's accounts: the context's, else the system's own.
    platform::Accounts& accounts();
    // While the gate waits: the targets are listed once ahead, so that the first category press
    // finds loaded and asked what a listing needs (the accounts' libraries, the running account).
    void prepareTargets();

    // The custom entry editor's operation under way: it survives the editor's window.
    std::int16_t editflag() const { return editflag_; }
    void setEditflag(std::int16_t editflag) { editflag_ = editflag; }

    // For the front end: the window of that kind has closed. Its form is forgotten at once and
    // deleted by settle(), as it may be running still.
    void closed(WindowKind kind);
    // For the front end, where no handler of a form is running: deletes the forms of the windows
    // closed since.
    void settle();

  private:
    std::unique_ptr<Form> newForm(WindowKind kind, View& view);

    Context context_;
    Desktop& desktop_;
    std::array<std::unique_ptr<Form>, kWindowCount> forms_;  // the open windows' forms
    std::vector<std::unique_ptr<Form>> closed_;              // until settle()
    std::string windir_;                                     // from the gate to the main window
    std::int16_t editflag_ = 0;
    engine::ApplyRequest previewRequest_;
    std::vector<std::string> previewRows_;
    engine::Target previewTarget_;
    std::unique_ptr<platform::Accounts> systemAccounts_;
};

}  // namespace tessmar::forms
