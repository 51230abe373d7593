#pragma once
// One program directory per test, with a file registry in it, scripted message boxes, a shell that
// only records, and the program on a desktop of fake views.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/scripted_messages.h"
#include "forms/names.h"
#include "forms/program.h"
#include "platform/entrydb.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "support/fake_desktop.h"
#include "support/tempdir.h"

namespace tessmar::test {

class RecordingShell : public platform::Shell {
  public:
    bool openMaximised(const std::filesystem::path& file) override {
        opened.push_back(file);
        return true;
    }
    std::vector<std::filesystem::path> opened;
};

struct Session {
    Session();

    TempDir temp;
    std::filesystem::path dir = temp.path();
    std::unique_ptr<platform::Registry> registry = platform::makeFileRegistry(dir / "registry.reg");
    ScriptedMessages messages;
    RecordingShell shell;
    FakeDesktop desktop;
    forms::Program program{forms::Context{dir, *registry, messages, shell}, desktop};

    // The open window of that kind; fails the test when there is none.
    FakeView& view(forms::WindowKind kind) const;
    bool isOpen(forms::WindowKind kind) const { return desktop.view(kind) != nullptr; }

    bool exists(const std::string& name) const { return temp.exists(name); }
    std::string read(const std::string& name) const { return temp.read(name); }
    void write(const std::string& name, const std::string& bytes) const { temp.write(name, bytes); }
    // Read-only as the attribute makes a file on Windows.
    void makeReadOnly(const std::string& name) const;
    // user.dat as shipped, with one entry of that name per name, in this order.
    void makeUserDat(const std::vector<std::string>& names) const;
    // user.dat holding these records in this order.
    void makeEntries(const std::vector<platform::EntryRow>& rows) const;
    std::vector<platform::EntryRow> userDat() const;

    // The last message box shown, as "title|text".
    std::string lastMessage() const;
    // Every message box shown, as "title|text".
    std::vector<std::string> shownMessages() const;
    void answer(platform::Answer answer) { messages.answers.push_back(answer); }
};

}  // namespace tessmar::test
