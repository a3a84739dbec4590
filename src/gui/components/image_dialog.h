#pragma once

#include "components/component_dialog.h"

namespace qf {

class ImageFields;

// "Insert Image": a picture with its size, alignment, mouse-over text and border.
class TFormb : public ComponentDialog {
    Q_OBJECT

public:
    TFormb(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormb>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton2Click();
    void ToolButton4Click(); // Cancel: closes without change

private:
    ImageFields* image_;
};

} // namespace qf
