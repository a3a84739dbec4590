#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace qf {

class ColourField;

// "Insert a Data Table": a grid of texts typed cell by cell, with the
// table's size and spacing, one text style and one background for every cell.
class TFormd1 : public ComponentDialog {
    Q_OBJECT

public:
    TFormd1(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormd1>(workspace, parent);
    }

public Q_SLOTS:
    void SpinEdit1Change(); // rows
    void SpinEdit2Change(); // columns
    void Sg1SelectCell(int row, int column);
    void Edit1Change(const QString& text);
    void ToolButton4Click(); // cell background: a colour or a picture
    void ToolButton1Click(); // OK
    void ToolButton2Click(); // Cancel: closes without change

private:
    // Gives the grid `count` rows or columns (0 or less gives one); more than
    // the most a table may have is refused with a message and the spin goes
    // back to the grid's count.
    void Resize(QSpinBox* spin, bool rows);

    QSpinBox* rows_;
    QSpinBox* columns_;
    QSpinBox* padding_;
    QSpinBox* spacing_;
    QSpinBox* width_;
    QSpinBox* border_;
    QTableWidget* grid_;
    QLineEdit* cell_text_;
    ColourField* colour_;
    QSpinBox* size_;
    QCheckBox* styles_[4];
    QCheckBox* header_;
    QRadioButton* background_colour_;
    QRadioButton* background_image_;
    ColourField* background_;
    QString picture_folder_; // where the picture browse starts
    bool filling_ = false;   // Edit1 is being filled from the selected cell
};

} // namespace qf
