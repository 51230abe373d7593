#include "forms/program.h"

#include "engine/target.h"
#include "forms/drives.h"
#include "forms/editor.h"
#include "forms/export.h"
#include "forms/gate.h"
#include "forms/history.h"
#include "forms/main.h"
#include "forms/notice.h"
#include "forms/password.h"
#include "forms/preview.h"

namespace tessmar::forms {

Program::Program(Context context, Desktop& desktop) : context_(context), desktop_(desktop) {}

Program::~Program() = default;

void Program::open(WindowKind kind, bool refresh) {
    std::unique_ptr<Form>& form = forms_[static_cast<std::size_t>(kind)];
    if (form) {
        desktop_.raise(kind);
        if (refresh) form->refresh();
        return;
    }
    View* view = desktop_.make(kind);
    if (!view) return;
    form = newForm(kind, *view);
    Form& made = *form;
    desktop_.show(kind, made);
    // The load may close the window again; the form lives on until settle().
    made.load();
}

void Program::refresh(WindowKind kind) {
    if (Form* form = forms_[static_cast<std::size_t>(kind)].get()) form->refresh();
}

std::optional<WindowKind> windowToBringForward(const std::function<bool(WindowKind)>& isOpen) {
    for (WindowKind first : {WindowKind::Main, WindowKind::Gate})
        if (isOpen(first)) return first;
    for (WindowKind kind : kAllWindows)
        if (isOpen(kind)) return kind;
    return std::nullopt;
}

void Program::bringForward() {
    if (const auto kind = windowToBringForward([this](WindowKind k) { return isOpen(k); }))
        desktop_.raise(*kind);
}

bool Program::isOpen(WindowKind kind) const {
    return forms_[static_cast<std::size_t>(kind)] != nullptr;
}

void Program::openMain(std::string windir) {
    windir_ = std::move(windir);
    open(WindowKind::Main);
}

void Program::openPreview(engine::ApplyRequest request, std::vector<std::string> customRows,
                          engine::Target target) {
    previewRequest_ = std::move(request);
    previewRows_ = std::move(customRows);
    previewTarget_ = std::move(target);
    open(WindowKind::Preview, true);
}

platform::Accounts& Program::accounts() {
    if (context_.accounts) return *context_.accounts;
    if (!systemAccounts_) systemAccounts_ = platform::makeSystemAccounts();
    return *systemAccounts_;
}

void Program::prepareTargets() {
    // Only what it loads and keeps counts: every checklist lists the targets afresh.
    (void)engine::listTargets(context_.registry, accounts());
}

std::unique_ptr<Form> Program::newForm(WindowKind kind, View& view) {
    switch (kind) {
        case WindowKind::Gate:
            return std::make_unique<GateForm>(*this, view);
        case WindowKind::Main:
            return std::make_unique<MainForm>(*this, view, windir_);
        case WindowKind::Password:
            return std::make_unique<PasswordForm>(*this, view);
        case WindowKind::Drives:
            return std::make_unique<DrivesForm>(*this, view);
        case WindowKind::Notice:
            return std::make_unique<NoticeForm>(*this, view);
        case WindowKind::Editor:
            return std::make_unique<EditorForm>(*this, view);
        case WindowKind::History:
            return std::make_unique<HistoryForm>(*this, view);
        case WindowKind::Preview:
            return std::make_unique<PreviewForm>(*this, view);
        case WindowKind::Export:
            return std::make_unique<ExportForm>(*this, view);
    }
    return nullptr;
}

void Program::closed(WindowKind kind) {
    std::unique_ptr<Form>& form = forms_[static_cast<std::size_t>(kind)];
    if (form) closed_.push_back(std::move(form));
}

void Program::settle() {
    closed_.clear();
}

}  // namespace tessmar::forms
