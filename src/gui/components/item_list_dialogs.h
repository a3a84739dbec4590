#pragma once

#include "components/component_dialog.h"

#include <string>

class QPlainTextEdit;

namespace qf {

class FontGroup;

// A list of items, one for each line typed, each in the same face, colour,
// size and styles.
class ItemListDialog : public ComponentDialog {
    Q_OBJECT

public:
    ItemListDialog(Workspace& workspace, const std::string& kind_tag, const QString& caption,
                   const QString& class_name, QWidget* parent);

public Q_SLOTS:
    void ToolButton1Click();

private:
    std::string kind_tag_;
    FontGroup* font_;
    QPlainTextEdit* items_;
};

// "Insert an Item List": items as definition-list entries.
class TFormc1 : public ItemListDialog {
    Q_OBJECT

public:
    TFormc1(Workspace& workspace, QWidget* parent = nullptr)
        : ItemListDialog(workspace, "Item_List", "Insert an Item List", "TFormc1", parent) {}
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormc1>(workspace, parent);
    }
};

// "Insert a Bullet Item List": items with bullets.
class TFormc2 : public ItemListDialog {
    Q_OBJECT

public:
    TFormc2(Workspace& workspace, QWidget* parent = nullptr)
        : ItemListDialog(workspace, "Bullet_Item_List", "Insert a Bullet Item List", "TFormc2",
                         parent) {}
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormc2>(workspace, parent);
    }
};

// "Insert a Seperated Item List": every item set apart on its own.
class TFormc3 : public ItemListDialog {
    Q_OBJECT

public:
    TFormc3(Workspace& workspace, QWidget* parent = nullptr)
        : ItemListDialog(workspace, "Spaced_List", "Insert a Seperated Item List", "TFormc3",
                         parent) {}
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormc3>(workspace, parent);
    }
};

} // namespace qf
