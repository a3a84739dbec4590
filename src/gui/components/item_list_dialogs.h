#pragma once

#include "components/component_dialog.h"

class QPlainTextEdit;

namespace qf {

class FontGroup;

// A list of items, one for each line typed, each in the same face, colour,
// size and styles.
class ItemListDialog : public ComponentDialog {
    Q_OBJECT

public:
    ItemListDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent);

public Q_SLOTS:
    void ToolButton1Click();

private:
    FontGroup* font_;
    QPlainTextEdit* items_;
};

// "Insert an Item List": items as definition-list entries.
using TFormc1 = KindDialog<ItemListDialog, "Item_List">;
// "Insert a Bullet Item List": items with bullets.
using TFormc2 = KindDialog<ItemListDialog, "Bullet_Item_List">;
// "Insert a Seperated Item List": every item set apart on its own.
using TFormc3 = KindDialog<ItemListDialog, "Spaced_List">;

} // namespace qf
