#pragma once

#include "widgets/tool_dialog.h"
#include "workspace/layout_designer.h"

#include <QList>

class QComboBox;
class QPushButton;
class QSpinBox;

namespace qf {

class Preview;
struct Workspace;

// "Create your own Page Layout": builds a layout table by table in a preview
// and saves it as the next layout file. The working text and every step are
// the core designer's; this window gathers the fields and shows the result.
class TFormmen4 : public ToolDialog {
    Q_OBJECT

public:
    TFormmen4(Workspace& workspace, QWidget* parent = nullptr);

    // Runs the designer. It changes no page, so it returns false.
    static bool Open(Workspace& workspace, QWidget* parent);

    const LayoutDesigner& Designer() const { return designer_; }
    // The number the layout was saved under; 0 until Save Layout succeeded.
    int SavedLayout() const { return saved_layout_; }

public Q_SLOTS:
    void FormActivate();     // writes the preview file and shows it
    void ToolClick();        // " Add Table    ": enables the fields
    void T2Click();          // commits one table
    void ToolButton3Click(); // deletes the active table
    void ToolButton1Click(); // Save Layout

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPreview();
    void RefillTableLists();

    Workspace& workspace_;
    LayoutDesigner designer_;
    int saved_layout_ = 0;
    bool activated_ = false;
    Preview* preview_;
    QPushButton* add_;
    QPushButton* commit_;
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* inner_;
    QSpinBox* outer_;
    QComboBox* align_;
    QComboBox* vertical_align_;
    QComboBox* under_;
    QComboBox* adjacent_;
    QComboBox* active_;
    QList<QWidget*> fields_; // enabled by " Add Table    "
};

} // namespace qf
