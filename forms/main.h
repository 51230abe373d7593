#pragma once
// The main window: five category buttons, the checklist of the chosen category, apply, help,
// password change and close, with the description line that follows the pointer.
#include "forms/checklist.h"
#include "forms/program.h"

namespace tessmar::forms {

class main : public Form {
  public:
    main(Program& program, View& view, std::string windir);

    void load() override;
    void click(Id control) override;
    void mouseDown(Id control, Button button, int row) override;
    void mouseMove(Id control) override;

    const Checklist& checklist() const { return checklist_; }

  private:
    void showChecklistView(bool shown);
    void Command2_Click(int index);
    void fillCustom();
    void Grid1_MouseDown(Button button, int row);
    void Command3_Click(int index);
    void Command5_Click();
    void Command4_Click(int index);
    void Command9_Click();
    // Marks the rows whose values no longer hold what the category's last apply wrote.
    void markDrift(int category);
    void hoverCategory(int index);

    // The settings record for a category fill: made when missing, then read whole. nullopt when it
    // cannot be made or read; the administrator has been told.
    std::optional<settings::Record> readSettings();
    void show(int category, const settings::Checklist& content);
    void tell(const std::string& text);

    Program& program_;
    View& view_;
    Checklist checklist_;
};

}  // namespace tessmar::forms
