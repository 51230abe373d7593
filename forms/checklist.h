#pragma once
// The checklist state the main window owns: which category is on screen, the five flag arrays, the
// custom grid's row count and the Windows directory. The flags are the one truth; the grid only
// shows them.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "settings/selection.h"

namespace tessmar::forms {

class Checklist {
  public:
    explicit Checklist(std::string windir);

    int shezhiflag() const { return shezhiflag_; }
    int nrow() const { return nrow_; }
    // The entry names of the custom rows as last filled, row k at k - 1.
    const std::vector<std::string>& customRows() const { return customRows_; }
    const std::string& windir() const { return windir_; }
    void setWindir(std::string windir) { windir_ = std::move(windir); }

    // The flag array of category 0 to 4 (ieflag, deskflag, netflag, fileflag, customflag),
    // element i for grid row i.
    const std::vector<bool>& flags(int category) const;
    // Item rows of the category on screen.
    int rows() const;

    // A category fill: the category is on screen with the flags of its content (its rows, heading
    // row included, set nrow for the custom category).
    void show(int category, const settings::Checklist& content);
    // Toggles item row k of the category on screen; false when k is no item row.
    bool toggle(int row);
    bool chosen(int row) const;
    // Chooses or clears every item of the category on screen.
    void setAll(bool chosen);
    // The side window a right press on row k opens, if any.
    engine::Detail detail(int row) const;

  private:
    std::vector<bool>& flagsOf(int category);
    std::vector<bool>& shown();

    int shezhiflag_ = 0;
    int nrow_ = 0;
    std::vector<bool> ieflag_, deskflag_, netflag_, fileflag_, customflag_;
    std::vector<std::string> customRows_;
    std::string windir_;
};

}  // namespace tessmar::forms
