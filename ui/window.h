#pragma once
// A window of the program in Qt: its controls made from the window's controls table, its events
// passed on to its form, and forms::View answered from its widgets. What differs between the
// windows is in their tables.
#include <QHash>
#include <QKeyEvent>
#include <QWidget>
#include <memory>

#include "forms/program.h"

namespace tessmar::ui {

class Window : public QWidget, public forms::View {
    Q_OBJECT
  public:
    explicit Window(forms::WindowKind kind);

    forms::WindowKind kind() const { return kind_; }
    forms::Form* form() const { return form_; }
    // The form that the window's events go to.
    void setForm(forms::Form* form) { form_ = form; }
    // The control of that name in the controls table.
    QWidget* control(std::string_view name) const;

    // forms::View
    void setText(forms::Id control, std::string_view text) override;
    std::string text(forms::Id control) const override;
    void setEnabled(forms::Id control, bool enabled) override;
    bool enabled(forms::Id control) const override;
    void setVisible(forms::Id control, bool visible) override;
    void setChecked(forms::Id control, bool checked) override;
    bool checked(forms::Id control) const override;
    void setBackColor(forms::Id control, forms::Rgb colour) override;
    void setFocus(forms::Id control) override;
    void setGridRows(forms::Id grid, const std::vector<std::vector<std::string>>& rows) override;
    void setCell(forms::Id grid, int row, int column, std::string_view text) override;
    void setCurrentCell(forms::Id grid, int row, int column) override;
    void setCellNote(forms::Id grid, int row, int column, std::optional<forms::Rgb> back,
                     std::string_view tip) override;
    void setListItems(forms::Id list, const std::vector<forms::ListItem>& items) override;
    void setListIndex(forms::Id list, int index) override;
    int listIndex(forms::Id list) const override;
    void close() override;

    using QWidget::setEnabled;
    using QWidget::setFocus;
    using QWidget::setVisible;

  signals:
    // The window has closed; it is deleted once its event has been handled.
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The keys that reach the window itself, with no control focused.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The client area, where the controls of the table stand.
    QWidget* client() const { return client_; }

  private:
    void build();
    QWidget* make(const forms::Control& control, QWidget* parent);
    void track(QWidget* widget, const forms::Control& control);

    forms::WindowKind kind_;
    const forms::WindowLayout& layout_;
    forms::Form* form_ = nullptr;
    QWidget* client_ = nullptr;
    QHash<QString, QWidget*> controls_;
    // Each widget (or part of one, such as a combo box's line edit) to its control in the table;
    // the client area to none.
    QHash<QObject*, const forms::Control*> sources_;
    bool closingByForm_ = false;
};

}  // namespace tessmar::ui
