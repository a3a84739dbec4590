#include "components/data_table_dialog.h"

#include "components/builders.h"
#include "components/picture_import.h"
#include "services/prompts.h"
#include "widgets/colour_field.h"
#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace qf {

namespace {

// The style boxes in dialog order, with their field names.
constexpr struct {
    const char* caption;
    const char* name;
    const char* field;
} kStyles[] = {
    {"Bold", "CheckBox1", "bold"},
    {"Italic", "CheckBox2", "italic"},
    {"Underline", "CheckBox3", "underline"},
    {"Strikeout", "CheckBox4", "strikeout"},
};

// The field of the cell at row `row` and column `column`, counted from 0.
std::string CellName(int row, int column) {
    return "cell." + std::to_string(row + 1) + "." + std::to_string(column + 1);
}

} // namespace

TFormd1::TFormd1(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert a Data Table", "Insert Data Table", parent) {
    setObjectName("TFormd1");
    picture_folder_ = QString::fromStdString(workspace.project_folder);
    auto* top = new QHBoxLayout;
    QFormLayout* sizes = MakeForm();
    rows_ = MakeSpinField("SpinEdit1", this, 1);
    rows_->setToolTip(tr("Number of rows (at most %1)").arg(builders::kMaxDataTableRows));
    sizes->addRow(tr(" Rows:"), rows_);
    columns_ = MakeSpinField("SpinEdit2", this, 1);
    columns_->setToolTip(tr("Number of columns (at most %1)").arg(builders::kMaxDataTableColumns));
    sizes->addRow(tr("Columns"), columns_);
    padding_ = MakeSpinField("SpinEdit3", this);
    padding_->setToolTip(tr("Space inside each cell (Cellpadding)"));
    sizes->addRow(tr("Inner Spacing:"), padding_);
    spacing_ = MakeSpinField("SpinEdit4", this);
    spacing_->setToolTip(tr("Space between the cells (Cellspacing)"));
    sizes->addRow(tr("Outer Spacing:"), spacing_);
    width_ = MakeSpinField("SpinEdit5", this);
    auto* width_row = new QHBoxLayout;
    width_row->addWidget(width_, 1);
    width_row->addWidget(new QLabel(tr("(Pixels)"), this));
    sizes->addRow(tr("Table Width:"), width_row);
    border_ = MakeSpinField("SpinEdit6", this);
    sizes->addRow(tr(" Border:"), border_);
    header_ = new QCheckBox(tr("First row is a header"), this);
    header_->setObjectName("CheckHeader");
    header_->setToolTip(tr("The first row's cells name the columns: bold, centred, and read as "
                           "the columns' names by screen readers"));
    sizes->addRow(header_);
    top->addLayout(sizes);

    auto* cells = new QVBoxLayout;
    grid_ = new QTableWidget(1, 1, this);
    grid_->setObjectName("Sg1");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setToolTip(tr("Select a cell, then type its text below"));
    grid_->horizontalHeader()->setDefaultSectionSize(90);
    grid_->verticalHeader()->setDefaultSectionSize(24);
    grid_->setMinimumSize(380, 170);
    grid_->setCurrentCell(0, 0);
    cells->addWidget(grid_, 1);
    cells->addWidget(new QLabel(tr("Text for the Selected Cell"), this));
    cell_text_ = new QLineEdit(this);
    cell_text_->setObjectName("Edit1");
    cell_text_->setToolTip(tr("The text of the selected cell; markup is allowed"));
    cells->addWidget(cell_text_);
    top->addLayout(cells, 1);
    Body()->addLayout(top);

    auto* bottom = new QHBoxLayout;
    // The text's colour, size and style are the whole table's, not the
    // selected cell's.
    auto* text_group = new QGroupBox(tr("Text style of all cells"), this);
    QFormLayout* text_form = MakeForm(text_group);
    colour_ = new ColourField("Edit2", "ToolButton3", &colours_, text_group);
    text_form->addRow(tr("Color:"), colour_);
    size_ = MakeSpinField("SpinEdit7", text_group);
    size_->setToolTip(tr("Font size of every cell"));
    text_form->addRow(tr(" Size:"), size_);
    auto* style_row = new QHBoxLayout;
    for (std::size_t i = 0; i < std::size(kStyles); ++i) {
        styles_[i] = new QCheckBox(tr(kStyles[i].caption), text_group);
        styles_[i]->setObjectName(kStyles[i].name);
        styles_[i]->setToolTip(tr("The text of every cell"));
        style_row->addWidget(styles_[i]);
    }
    text_form->addRow(style_row);
    bottom->addWidget(text_group, 1);

    auto* background_group = new QGroupBox(tr("Cell Background"), this);
    auto* background_column = new QVBoxLayout(background_group);
    auto* radios = new QHBoxLayout;
    background_colour_ = new QRadioButton(tr("Color"), background_group);
    background_colour_->setObjectName("RadioButton1");
    background_colour_->setToolTip(tr("Every cell takes a background colour"));
    background_image_ = new QRadioButton(tr("Image"), background_group);
    background_image_->setObjectName("RadioButton2");
    background_image_->setToolTip(tr("Every cell takes a background picture"));
    auto* radio_group = new QButtonGroup(background_group);
    radio_group->addButton(background_colour_);
    radio_group->addButton(background_image_);
    radios->addWidget(background_colour_);
    radios->addWidget(background_image_);
    radios->addStretch(1);
    background_column->addLayout(radios);
    background_ = new ColourField("Edit3", "ToolButton4", &colours_, background_group);
    background_->Button()->setToolTip(tr("Choose a colour (Color) or a picture (otherwise)"));
    // The button chooses a colour or a picture, as the radio buttons say.
    disconnect(background_->Button(), &QToolButton::clicked, background_,
               &ColourField::ChooseColour);
    connect(background_->Button(), &QToolButton::clicked, this, &TFormd1::ToolButton4Click);
    background_column->addWidget(background_);
    background_column->addStretch(1);
    bottom->addWidget(background_group, 1);
    Body()->addLayout(bottom);

    connect(rows_, &QSpinBox::valueChanged, this, &TFormd1::SpinEdit1Change);
    connect(columns_, &QSpinBox::valueChanged, this, &TFormd1::SpinEdit2Change);
    connect(grid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { Sg1SelectCell(row, column); });
    connect(cell_text_, &QLineEdit::textChanged, this, &TFormd1::Edit1Change);

    // The grid's size first, so that its cells are there to be filled.
    fillers_.Add("rows", rows_);
    fillers_.Add("cols", columns_);
    fillers_.Add("padding", padding_);
    fillers_.Add("spacing", spacing_);
    fillers_.Add("width", width_);
    fillers_.Add("border", border_);
    fillers_.Add("color", colour_);
    fillers_.Add("size", size_);
    for (std::size_t i = 0; i < std::size(kStyles); ++i) {
        fillers_.Add(kStyles[i].field, styles_[i]);
    }
    fillers_.Add("header", header_);
    fillers_.Add("background", background_);
    fillers_.Add("bgcolor", [this](const QString& on) {
        // A picture's location (no colour) makes the button browse pictures.
        if (on == "1") {
            background_colour_->setChecked(true);
        } else if (!background_->Text().isEmpty()) {
            background_image_->setChecked(true);
        }
    });
    fillers_.AddGroup([this](const FieldValues& values) {
        for (int row = 0; row < grid_->rowCount(); ++row) {
            for (int column = 0; column < grid_->columnCount(); ++column) {
                const auto found = values.find(CellName(row, column));
                if (found != values.end()) {
                    grid_->setItem(row, column,
                                   new QTableWidgetItem(QString::fromStdString(found->second)));
                }
            }
        }
        Sg1SelectCell(std::max(grid_->currentRow(), 0), std::max(grid_->currentColumn(), 0));
    });

    connect(AddOkButton(tr("OK   "), "ToolButton1"), &QPushButton::clicked, this,
            &TFormd1::ToolButton1Click);
    AddCancelButton(tr("Cancel   "), "ToolButton2", &TFormd1::ToolButton2Click);
}

void TFormd1::Resize(QSpinBox* spin, bool rows) {
    const int most = rows ? builders::kMaxDataTableRows : builders::kMaxDataTableColumns;
    const int current = rows ? grid_->rowCount() : grid_->columnCount();
    const int value = SpinValue(spin);
    if (value > most) {
        QSignalBlocker block(spin);
        spin->setValue(current);
        AppPrompts().Inform(this, tr("A data table can have at most %1 %2.")
                                      .arg(most)
                                      .arg(rows ? tr("rows") : tr("columns")));
        return;
    }
    const int count = std::max(value, 1);
    if (rows) {
        grid_->setRowCount(count);
    } else {
        grid_->setColumnCount(count);
    }
    if (grid_->currentRow() < 0 || grid_->currentColumn() < 0) {
        grid_->setCurrentCell(0, 0);
    }
}

void TFormd1::SpinEdit1Change() {
    Resize(rows_, true);
}

void TFormd1::SpinEdit2Change() {
    Resize(columns_, false);
}

void TFormd1::Sg1SelectCell(int row, int column) {
    const QTableWidgetItem* item = grid_->item(row, column);
    // Showing the cell's text changes no cell.
    filling_ = true;
    cell_text_->setText(item != nullptr ? item->text() : QString());
    filling_ = false;
    if (grid_->hasFocus()) {
        cell_text_->setFocus();
    }
}

void TFormd1::Edit1Change(const QString& text) {
    if (filling_) {
        return;
    }
    const int row = std::max(grid_->currentRow(), 0);
    const int column = std::max(grid_->currentColumn(), 0);
    QTableWidgetItem* item = grid_->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        grid_->setItem(row, column, item);
    }
    item->setText(text);
}

void TFormd1::ToolButton4Click() {
    if (background_colour_->isChecked()) {
        background_->ChooseColour();
        return;
    }
    // A picture travels with the site, as every picture browse does.
    const QString location =
        ChoosePicture(this, kTiffPictureFilter, picture_folder_, workspace_.project_folder,
                      PictureBaseFolder(workspace_));
    if (!location.isEmpty()) {
        background_->Edit()->setText(location);
    }
}

void TFormd1::ToolButton1Click() {
    FieldValues values{
        {"rows", std::to_string(SpinValue(rows_))},
        {"cols", std::to_string(SpinValue(columns_))},
        {"padding", std::to_string(SpinValue(padding_))},
        {"spacing", std::to_string(SpinValue(spacing_))},
        {"width", std::to_string(SpinValue(width_))},
        {"border", std::to_string(SpinValue(border_))},
        {"color", colour_->Text().toStdString()},
        {"size", std::to_string(SpinValue(size_))},
        {"bgcolor", FlagText(background_colour_->isChecked())},
        {"background", background_->Text().toStdString()},
        {"header", FlagText(header_->isChecked())},
    };
    for (std::size_t i = 0; i < std::size(kStyles); ++i) {
        values[kStyles[i].field] = FlagText(styles_[i]->isChecked());
    }
    // Every cell, the empty ones too: a cell emptied while modifying a
    // table must not keep the text it had.
    for (int row = 0; row < grid_->rowCount(); ++row) {
        for (int column = 0; column < grid_->columnCount(); ++column) {
            const QTableWidgetItem* item = grid_->item(row, column);
            values[CellName(row, column)] =
                item != nullptr ? item->text().toStdString() : std::string();
        }
    }
    Insert("Data_Table", values);
}

void TFormd1::ToolButton2Click() {
    reject();
}

} // namespace qf
