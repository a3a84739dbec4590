#pragma once

#include "widgets/tool_dialog.h"

class QLabel;

namespace qf {

struct Workspace;

// "About": the product's name and picture, the operating system and the
// physical memory, read each time the box is shown.
class TForm90 : public ToolDialog {
    Q_OBJECT

public:
    explicit TForm90(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* os_;
    QLabel* phys_mem_;
};

// Shows the about box; changes nothing.
bool OpenAbout(Workspace& workspace, QWidget* parent);

} // namespace qf
