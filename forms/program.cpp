#include "forms/program.h"

#include "forms/drives.h"
#include "forms/logo.h"
#include "forms/main.h"
#include "forms/pwdyz.h"
#include "forms/pwsword.h"
#include "forms/usersys.h"

namespace tessmar::forms {

Program::Program(Context context, Desktop& desktop) : context_(context), desktop_(desktop) {}

Program::~Program() = default;

void Program::open(WindowKind kind) {
    if (isOpen(kind)) {
        desktop_.raise(kind);
        return;
    }
    open_[static_cast<std::size_t>(kind)] = true;
    desktop_.show(kind);
}

bool Program::isOpen(WindowKind kind) const {
    return open_[static_cast<std::size_t>(kind)];
}

void Program::openMain(std::string windir) {
    windir_ = std::move(windir);
    open(WindowKind::main);
}

std::unique_ptr<Form> Program::makeForm(WindowKind kind, View& view) {
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
    }
    return nullptr;
}

void Program::closed(WindowKind kind) {
    open_[static_cast<std::size_t>(kind)] = false;
}

}  // namespace tessmar::forms
