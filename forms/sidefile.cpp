#include "forms/sidefile.h"

namespace tessmar::forms {

void SideFileForm::load() {
    if (auto loaded = loadFile(); !loaded) report(loadFailure() + "\n" + loaded.error().message);
}

void SideFileForm::confirm(const Status& written, const std::string& failure) {
    if (!written) {
        report(failure + "\n" + written.error().message);
        return;
    }
    view_.close();
}

void SideFileForm::report(const std::string& text) {
    program_.context().messages.show(text, platform::kMainTitle, platform::Buttons::Ok);
}

}  // namespace tessmar::forms
