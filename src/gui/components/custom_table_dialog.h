#pragma once

#include "components/component_dialog.h"
#include "components/custom_tables.h"

class QLabel;

namespace qf {

class Preview;

// "Insert a Custom Table": steps through the ready-made tables of the
// application folder's custom subfolder in a preview, highest number first,
// and inserts the one shown.
class TFormer2 : public ComponentDialog {
    Q_OBJECT

public:
    TFormer2(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormer2>(workspace, parent);
    }

    const CustomTableChooser& Chooser() const { return chooser_; }

public Q_SLOTS:
    void FormActivate();     // rescans the custom tables and shows the highest
    void ToolButton3Click(); // Next Table: the next lower number
    void ToolButton2Click(); // Previous Table: the next higher number
    void ToolButton1Click(); // OK
    void ToolButton4Click(); // Cancel: closes without change

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowCurrent();

    CustomTableChooser chooser_;
    bool activated_ = false;
    Preview* preview_;
    QLabel* position_;
    QPushButton* next_;
    QPushButton* previous_;
    QPushButton* ok_;
};

} // namespace qf
