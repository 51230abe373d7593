#pragma once
// The logon notice editor: the title and text Windows shows before logon, kept in logo.ini.
#include <QPointer>
#include <QWidget>

#include "ui/context.h"

class QPlainTextEdit;

namespace tessmar::ui {

class logo : public QWidget {
    Q_OBJECT
  public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static logo* open(Context& context);
    // The open window, or nullptr.
    static logo* instance();

  private:
    explicit logo(Context& context);
    void build();
    // Makes the default file when missing, then shows the stored title and text.
    Status load();
    void confirm();
    void report(const std::string& text);

    Context& context_;
    QPlainTextEdit* Text1_ = nullptr;
    QPlainTextEdit* Text2_ = nullptr;
    static inline QPointer<logo> current_;
};

}  // namespace tessmar::ui
