#pragma once
// What the drive and notice windows share: each loads its file when it opens (making it when
// missing) and says so when it cannot, writes only on confirm, and keeps what was typed when the
// write fails.
#include <string>

#include "forms/program.h"
#include "platform/result.h"

namespace tessmar::forms {

class SideFileForm : public Form {
  public:
    SideFileForm(Program& program, View& view) : program_(program), view_(view) {}

    void load() override;

  protected:
    // Makes the file when missing and shows what it holds.
    virtual Status loadFile() = 0;
    // What the window tells when its file cannot be made or read.
    virtual std::string loadFailure() const = 0;
    // Writes what the window shows; on failure the window stays open with its contents.
    void confirm(const Status& written, const std::string& failure);
    void report(const std::string& text);

    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
