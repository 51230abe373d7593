#pragma once
// The custom entry editor: maintains the administrator's own registry entries in user.dat.
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

#include "custom/entry.h"
#include "custom/store.h"
#include "ui/context.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tessmar::ui {

class usersys : public QWidget {
    Q_OBJECT
  public:
    // Shows the one window of this kind, modeless: made (and loaded) when none is open, otherwise
    // brought forward as it is.
    static usersys* open(Context& context);
    // The open window, or nullptr.
    static usersys* instance();

    // editflag values: the operation under way.
    static constexpr std::int16_t kAdding = 0;
    static constexpr std::int16_t kChanging = 1;
    static constexpr std::int16_t kDeleting = 3;
    static constexpr std::int16_t kIdle = 7;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit usersys(Context& context);
    void build();

    // The list of names from user.dat; buttons and text boxes back to their resting state.
    void refreshlist();
    void addClicked();
    void changeClicked();
    void deleteClicked();
    void cancelClicked();
    void listClicked(int row);
    void saveClicked();

    // The checks before saving; false (after its message and focus move) at the first that fails.
    bool checkBoxes();
    // A character typed into the type box while it reads the delete type fills the value box.
    void fillValueForDeleteType();
    custom::Entry entryFromBoxes() const;
    // The number of entries, or nullopt after reporting that user.dat cannot be read.
    std::optional<std::size_t> entryCount();
    // The list's current row when it addresses an entry.
    std::optional<std::size_t> currentEntry() const;
    void setTextBoxesEnabled(bool enabled);
    void emptyBoxes();
    void report(const std::string& text);
    bool ask(const std::string& question);
    void reportStoreError(const std::string& what, const Error& error);
    custom::Store store() const;

    Context& context_;
    std::array<QLineEdit*, 4> Text1_{};  // 0 key, 1 second name, 2 value, 3 name
    QComboBox* Combo1_ = nullptr;        // root
    QComboBox* Combo2_ = nullptr;        // type
    QLabel* status_ = nullptr;           // Label1(6)
    QLabel* clicked_ = nullptr;          // Label1(5)
    QTableWidget* Grid1_ = nullptr;
    QPushButton* add_ = nullptr;     // Command2(0)
    QPushButton* change_ = nullptr;  // Command2(1)
    QPushButton* delete_ = nullptr;  // Command2(3)
    QPushButton* cancel_ = nullptr;  // Command2(4)
    QPushButton* save_ = nullptr;    // Command3
    static inline QPointer<usersys> current_;
};

}  // namespace tessmar::ui
