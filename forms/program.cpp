#include "forms/program.h"

#include "forms/drives.h"
#include "forms/gpo.h"
#include "forms/history.h"
#include "forms/logo.h"
#include "forms/main.h"
#include "forms/preview.h"
#include "forms/pwdyz.h"
#include "forms/pwsword.h"
#include "forms/usersys.h"

namespace tessmar::forms {

Program::Program(Context context, Desktop& desktop) : context_(context), desktop_(desktop) {}

Program::~Program() = default;

void Program::open(WindowKind kind, bool refresh) {
    if (Form* form = forms_[static_cast<std::size_t>(kind)]) {
        desktop_.raise(kind);
        if (refresh) form->refresh();
        return;
    }
    desktop_.show(kind);
}

void Program::refresh(WindowKind kind) {
    if (Form* form = forms_[static_cast<std::size_t>(kind)]) form->refresh();
}

bool Program::isOpen(WindowKind kind) const {
    return forms_[static_cast<std::size_t>(kind)] != nullptr;
}

void Program::openMain(std::string windir) {
    windir_ = std::move(windir);
    open(WindowKind::main);
}

std::unique_ptr<Form> Program::makeForm(WindowKind kind, View& view) {
    std::unique_ptr<Form> form = newForm(kind, view);
    forms_[static_cast<std::size_t>(kind)] = form.get();
    return form;
}

std::unique_ptr<Form> Program::newForm(WindowKind kind, View& view) {
    switch (kind) {
        case WindowKind::pwdyz:
            return std::make_unique<pwdyz>(*this, view);
        case WindowKind::main:
            return std::make_unique<main>(*this, view, windir_);
        case WindowKind::pwsword:
            return std::make_unique<pwsword>(*this, view);
        case WindowKind::drives:
            return std::make_unique<drives>(*this, view);
        case WindowKind::logo:
            return std::make_unique<logo>(*this, view);
        case WindowKind::usersys:
            return std::make_unique<usersys>(*this, view);
        case WindowKind::history:
            return std::make_unique<history>(*this, view);
        case WindowKind::preview:
            return std::make_unique<preview>(*this, view);
        case WindowKind::gpo:
            return std::make_unique<gpo>(*this, view);
    }
    return nullptr;
}

void Program::closed(WindowKind kind) {
    forms_[static_cast<std::size_t>(kind)] = nullptr;
}

}  // namespace tessmar::forms
