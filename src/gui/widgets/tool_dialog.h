#pragma once

#include <QDialog>

#include <functional>

class QBoxLayout;
class QFormLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace qf {

// The space between the parts of a dialog, and between the rows and columns
// of its forms.
inline constexpr int kDialogSpacing = 8;

// A form layout as the dialogs lay out their fields: labels left-aligned,
// fields stretching across the width, kDialogSpacing apart.
QFormLayout* MakeForm(QWidget* parent = nullptr);

// The frame every dialog of the editor shares: a grey bold heading panel that
// repeats the caption, a body, and the button row at the bottom. A dialog
// puts its fields into Body() (or Form(), a form layout inside the body) and
// adds its buttons with AddButton. Tool dialogs keep the size their layout
// gives them (FixedSize) unless made resizable.
class ToolDialog : public QDialog {
    Q_OBJECT

public:
    ToolDialog(const QString& caption, const QString& heading, QWidget* parent = nullptr);

    QLabel* Heading() const { return heading_; }
    QVBoxLayout* Body() const { return body_; }
    // A form layout in the body, made at the first call.
    QFormLayout* Form();
    // A push button in the bottom row, right-aligned in the order added.
    QPushButton* AddButton(const QString& text, const QString& object_name);
    // A push button at place `index` of the bottom row: 0 stands at its left
    // edge, apart from the others.
    QPushButton* InsertButton(int index, const QString& text, const QString& object_name);
    // Lets the user resize the dialog (for dialogs with a preview or a list).
    void MakeResizable();
    // Runs a core command for the dialog's OK: closes the dialog when it
    // succeeded; after a refusal or file error shows the message and stays
    // open with everything as typed.
    void AcceptAfter(const std::function<void()>& command);

private:
    QLabel* heading_;
    QVBoxLayout* body_;
    QFormLayout* form_ = nullptr;
    QBoxLayout* buttons_;
};

} // namespace qf
