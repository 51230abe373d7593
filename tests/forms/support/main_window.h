#pragma once
// The main window as the gate leaves it, with what the administrator does to it.
#include <string>

#include "forms/main.h"
#include "forms/names.h"
#include "support/session.h"

namespace tessmar::test {

struct MainWindow : Session {
    explicit MainWindow(std::string windir = "C:\\WINDOWS") { program.openMain(std::move(windir)); }

    FakeView& main() const { return view(forms::WindowKind::Main); }
    forms::MainForm& form() const { return desktop.form<forms::MainForm>(forms::WindowKind::Main); }
    const forms::Checklist& checklist() const { return form().checklist(); }

    // A left click on a category button: the press, then the click (the custom button acts on
    // the press alone).
    void show(int category) const {
        const forms::Id button = forms::names::main::Categories[static_cast<std::size_t>(category)];
        form().mouseDown(button, forms::Button::Left, -1);
        form().click(button);
    }
    void rightPress(forms::Id control) const {
        form().mouseDown(control, forms::Button::Right, -1);
    }
    void click(forms::Id control) const { form().click(control); }
    void pressRow(int row, forms::Button button = forms::Button::Left) const {
        form().mouseDown(forms::names::main::ChecklistGrid, button, row);
    }
    std::string mark(int row) const {
        return main().cell(forms::names::main::ChecklistGrid, row, 2);
    }

    // One character per item row of the grid: 1 marked, 0 not; names the first row whose mark and
    // flag disagree instead.
    std::string marks() const {
        std::string result;
        const std::vector<bool>& flags = checklist().flags(checklist().shezhiflag());
        for (int k = 1; k < main().gridRows(forms::names::main::ChecklistGrid); ++k) {
            const bool marked = mark(k) == " √";
            const bool flag =
                static_cast<std::size_t>(k) < flags.size() && flags[static_cast<std::size_t>(k)];
            if (marked != flag) return "row " + std::to_string(k) + ": mark and flag disagree";
            result += marked ? '1' : '0';
        }
        return result;
    }
};

}  // namespace tessmar::test
