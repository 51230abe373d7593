#pragma once
// The main window: five category buttons, the checklist of the chosen category, apply, help,
// password change and close, with the description line that follows the pointer.
#include "forms/checklist.h"
#include "forms/chooser.h"
#include "forms/program.h"

namespace tessmar::forms {

class MainForm : public Form {
  public:
    MainForm(Program& program, View& view, std::string windir);

    void load() override;
    void click(Id control) override;
    void mouseDown(Id control, Button button, int row) override;
    void mouseMove(Id control) override;

    const Checklist& checklist() const { return checklist_; }

  private:
    void showChecklistView(bool shown);
    // A click of a built-in category's button: its checklist from the settings record.
    void showCategory(int index);
    // A left press on the custom category's button: the checklist of the custom entries.
    void showCustom();
    void pressRow(Button button, int row);
    // 全选 and 全否.
    void markAll(bool chosen);
    void apply();
    void help();
    void preview();
    // Marks the rows whose values no longer hold what the category's last apply to the chosen
    // target wrote.
    void markDrift(int category);
    // The targets read afresh into the chooser, the chosen one kept.
    void offerTargets();
    // The administrator picked a target in the chooser.
    void chooseTarget();
    // The chosen target's stored selection of the category; unset, after telling, when its file
    // cannot be read.
    settings::Field storedSelection(const settings::Record& record, int category);
    void hoverCategory(int index);

    // The settings record for a category fill: made when missing, then read whole. nullopt when it
    // cannot be made or read; the administrator has been told.
    std::optional<settings::Record> readSettings();
    void show(int category, const settings::Checklist& content);
    void tell(const std::string& text);

    Program& program_;
    View& view_;
    Checklist checklist_;
    TargetChooser chooser_;
};

}  // namespace tessmar::forms
