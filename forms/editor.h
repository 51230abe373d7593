#pragma once
// The custom entry editor: maintains the administrator's own registry entries in user.dat.
#include <cstdint>
#include <optional>

#include "custom/entry.h"
#include "custom/store.h"
#include "forms/program.h"

namespace tessmar::forms {

class EditorForm : public Form {
  public:
    // editflag values: the operation under way.
    static constexpr std::int16_t kAdding = 0;
    static constexpr std::int16_t kChanging = 1;
    static constexpr std::int16_t kDeleting = 3;
    static constexpr std::int16_t kIdle = 7;

    // What the editor's buttons, boxes, editflag and status line become after each event.
    enum class State { Refreshed, Adding, Changing, Deleting, Cancelled, Clicked, ChangeSaved };

    EditorForm(Program& program, View& view);

    void load() override { refreshlist(); }
    void click(Id control) override;
    void mouseDown(Id control, Button button, int row) override;
    bool key(Id control, Key key) override;

    // The list's current row: the row last clicked, or the last row after a refresh.
    int currentRow() const { return currentRow_; }

  private:
    void enter(State state);
    void refreshlist();
    void addClicked();
    void changeClicked();
    void deleteClicked();
    void cancelClicked();
    void listClicked(int row);
    void saveClicked();

    // The checks before saving; false (after its message and focus move) at the first that fails.
    bool checkBoxes();
    custom::Entry entryFromBoxes() const;
    // The number of entries, or nullopt after reporting that user.dat cannot be read.
    std::optional<std::size_t> entryCount();
    std::optional<std::size_t> currentEntry() const;
    void emptyBoxes();
    void report(const std::string& text);
    bool ask(const std::string& question);
    void reportStoreError(const std::string& what, const Error& error);
    custom::Store store() const;

    Program& program_;
    View& view_;
    std::vector<std::string> names_;  // the list as the latest refresh wrote it
    int currentRow_ = -1;
};

}  // namespace tessmar::forms
