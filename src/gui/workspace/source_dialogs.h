#pragma once

#include "widgets/tool_dialog.h"

#include <string>

class QLabel;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace qf {

class Preview;
struct Workspace;

// What the component source dialog and the HTML code dialog share: a memo of
// HTML (`Memo1`) beside a preview (`Web1`) of the component preview file, and
// the buttons: the one that rewrites that file from the memo and shows it
// again (`ToolButton2`), the dialog's own command (`ToolButton1`, connected
// by each dialog) and Cancel (`ToolButton3`). A refusal is shown and the
// dialog stays open with the text as typed.
class SourceDialog : public ToolDialog {
    Q_OBJECT

public:
    QPlainTextEdit* Memo() const { return memo_; }
    Preview* Web() const { return web_; }

public Q_SLOTS:
    // Update Preview: writes the preview file from the memo and shows it; the
    // page is not touched. A refusal or file error is shown.
    void ToolButton2Click();
    void ToolButton3Click(); // Cancel: closes without change

protected:
    struct Texts {
        QString caption, heading, memo_label, preview_label;
        QString update, command, command_tip, cancel;
    };
    SourceDialog(Workspace& workspace, const Texts& texts, QWidget* parent);

    // The bytes the memo's text would put into the page.
    virtual std::string Bytes() const = 0;
    // The memo's text as typed, in UTF-8.
    std::string Typed() const;
    // The button of the dialog's own command.
    QPushButton* CommandButton() const { return command_; }

    Workspace& workspace_;

private:
    QPlainTextEdit* memo_;
    Preview* web_;
    QPushButton* command_;
};

// "Component Modify": the selected component's HTML source, with a preview.
// Save Component puts the edited source between the component's own markers.
class TFormCom : public SourceDialog {
    Q_OBJECT

public:
    TFormCom(Workspace& workspace, std::string source, QWidget* parent = nullptr);

    // Takes the source of the component named by Select Component (refusing,
    // before anything opens, when there is none or its block is gone) and
    // runs the dialog; true when the page changed.
    static bool Open(Workspace& workspace, QWidget* parent);
    // The same with a one-line note above the source saying why the
    // component opens here (`Note`); none when `note` is empty.
    static bool Open(Workspace& workspace, QWidget* parent, const QString& note);

    void SetNote(const QString& note);

public Q_SLOTS:
    void FormShow();         // fills the memo, writes and shows the preview
    void ToolButton1Click(); // Save Component

protected:
    void showEvent(QShowEvent* event) override;
    std::string Bytes() const override;

private:
    std::string source_;
    bool shown_ = false;
};

// "Insert HTML code": code typed with a preview, put unchanged (its lines
// joined) at the end of the selected area; with "Keep as a component"
// (ticked at first) as an HTML Code component, else as bare code.
class TFormCom2 : public SourceDialog {
    Q_OBJECT

public:
    TFormCom2(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent);

public Q_SLOTS:
    void ToolButton1Click(); // Insert Code

protected:
    std::string Bytes() const override;

private:
    QCheckBox* keep_;
};

} // namespace qf
