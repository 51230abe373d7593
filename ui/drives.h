#pragma once
// The drive hiding window: which of drives A: to O: Explorer hides, kept in drives.ini.
#include <QPointer>
#include <QWidget>
#include <array>

#include "settings/sidefiles.h"
#include "ui/context.h"

class QCheckBox;

namespace tessmar::ui {

class drives : public QWidget {
    Q_OBJECT
  public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static drives* open(Context& context);
    // The open window, or nullptr.
    static drives* instance();

  private:
    explicit drives(Context& context);
    void build();
    // Makes the default file when missing, then ticks the boxes from field 1.
    Status load();
    void setAll(bool hide);
    void confirm();
    void report(const std::string& text);

    Context& context_;
    std::array<QCheckBox*, settings::kDriveCount> Check1_{};
    static inline QPointer<drives> current_;
};

}  // namespace tessmar::ui
