#pragma once

#include "components/component_dialog.h"

class QCheckBox;

namespace qf {

class ImageFields;
class PageDestination;

// "Insert Image Link": a picture that links to a project page or a URL.
class TFormc : public ComponentDialog {
    Q_OBJECT

public:
    TFormc(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormc>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton2Click();
    void ToolButton4Click(); // Cancel: closes without change

private:
    PageDestination* destination_;
    QCheckBox* new_window_;
    ImageFields* image_;
};

} // namespace qf
