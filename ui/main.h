#pragma once
// The main window: five category buttons, the checklist of the chosen category, apply, help,
// password change and close. It owns the checklist state for as long as it exists.
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "settings/record.h"
#include "ui/context.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tessmar::settings {
struct Checklist;
}

namespace tessmar::ui {

class PictureBox;

class main : public QWidget {
    Q_OBJECT
  public:
    // Shows the one main window, made when none is open.
    static main* open(Context& context);
    // The open window, or nullptr.
    static main* instance();

    // The checklist state, for reading.
    int shezhiflag() const { return shezhiflag_; }
    int nrow() const { return nrow_; }
    // The flag array of category 0 to 4 (ieflag, deskflag, netflag, fileflag, customflag).
    const std::vector<bool>& flags(int category) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    explicit main(Context& context);

    void build();
    void showChecklistView(bool shown);

    void Command2_Click(int index);
    void fillCustom();
    void Grid1_MouseDown(Qt::MouseButton button, int row);
    void Command3_Click(int index);
    void Command5_Click();
    void Command6_Click();
    void Command4_Click(int index);

    void hoverCategory(int index);
    void hoverText(const QString& text);
    void hoverNothing();

    // The settings record for a category fill: created when missing, then read whole. nullopt when
    // it cannot be made or read; the administrator has been told.
    std::optional<settings::Record> readSettings();
    void showRows(const settings::Checklist& checklist);
    std::vector<bool>& shownFlags();
    std::vector<bool>& flagsOf(int category);

    Context& context_;
    static inline QPointer<main> current_;

    int shezhiflag_ = 0;
    int nrow_ = 0;
    // The selection flags, element i for grid row i.
    std::vector<bool> ieflag_, deskflag_, netflag_, fileflag_, customflag_;

    QWidget* client_ = nullptr;
    PictureBox* Picture1_ = nullptr;
    std::array<PictureBox*, 2> Picture2_{};
    std::array<PictureBox*, 5> Picture3_{};
    std::array<QPushButton*, 5> Command2_{};
    std::array<QPushButton*, 2> Command3_{};
    std::array<QPushButton*, 2> Command4_{};  // index 2 (help) and 3 (password)
    QPushButton* Command1_ = nullptr;         // index 1 (close)
    QPushButton* Command5_ = nullptr;
    QPushButton* Command6_ = nullptr;
    QTableWidget* Grid1_ = nullptr;
    QLabel* Label1_ = nullptr;         // index 0
    std::array<QLabel*, 2> Label2_{};  // index 1 and 2
    QLabel* Label3_ = nullptr;
};

}  // namespace tessmar::ui
