#pragma once

#include "widgets/tool_dialog.h"

#include <string>

class QPlainTextEdit;

namespace qf {

struct Workspace;

// "View Page Source": a copy of the page text in a text box. Whatever is
// typed into the box is discarded when the dialog closes.
class TFormt : public ToolDialog {
    Q_OBJECT

public:
    TFormt(std::string page_text, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string page_text_;
    QPlainTextEdit* memo_;
    bool filled_ = false;
};

// Shows the page text of `workspace`; changes nothing.
bool OpenViewSource(Workspace& workspace, QWidget* parent);

} // namespace qf
