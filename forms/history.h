#pragma once
// The history of the applies: what each changed, and a restore of the state before it.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history.h"
#include "forms/program.h"

namespace tessmar::forms {

namespace names::history {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view Label1 = "Label1";   // the list's caption
inline constexpr std::string_view Status = "Label2";   // empty history, unreadable folder
inline constexpr std::string_view Grid1 = "Grid1";     // the records, newest first
inline constexpr std::string_view Label3 = "Label3";   // the changes' caption
inline constexpr std::string_view Summary = "Label4";  // what the chosen record holds
inline constexpr std::string_view Grid2 = "Grid2";     // the chosen record's changes
inline constexpr std::string_view Restore = "Command1(0)";
inline constexpr std::string_view Close = "Command1(1)";
}  // namespace names::history

// A registry place as a narrow grid column shows it: the root and as many of the last parts as fit
// in that many columns (a double-byte character takes two), the middle left out as "…". The cell's
// tip carries the whole text.
std::string shownWhere(std::string_view where, std::size_t columns = 40);
// Fills a grid of changes below its heading: place, before, after, each cell's whole text as its
// tip.
void showChanges(View& view, Id grid, const std::vector<std::string>& heading,
                 const std::vector<engine::Change>& changes);

class HistoryForm : public Form {
  public:
    HistoryForm(Program& program, View& view) : program_(program), view_(view) {}

    void load() override { refresh(); }
    // Reads the list anew; the chosen record stays chosen while it is still there.
    void refresh() override;
    void click(Id control) override;
    void mouseDown(Id control, Button button, int row) override;

    // The records as the list shows them, row 1 first.
    const std::vector<engine::HistoryEntry>& entries() const { return entries_; }
    // The list row of the chosen record; 0 for none.
    int chosenRow() const { return chosen_; }

  private:
    void fillList();
    void choose(int row);
    void unchoose();
    void markRow(int row, bool chosen);
    void restoreClicked();
    std::string categoryText(const engine::HistoryEntry& entry) const;
    std::vector<std::string> rowOf(const engine::HistoryEntry& entry) const;
    void tell(const std::string& text);

    Program& program_;
    View& view_;
    std::vector<engine::HistoryEntry> entries_;
    int chosen_ = 0;
};

}  // namespace tessmar::forms
