#include "widgets/font_group.h"

#include "components/font_faces.h"
#include "services/utf8_text.h"
#include "widgets/field_fillers.h"
#include "widgets/simple_fields.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace qf {

namespace {

QStringList FaceEntries() {
    QStringList entries;
    for (std::string_view face : FontFaces()) {
        entries << Q(face);
    }
    return entries;
}

QString Flag(bool on) {
    return on ? "1" : "0";
}

// The faces as typed: the entries without their leading blank.
QStringList TypedFaces() {
    QStringList faces;
    for (std::string_view face : FontFaces()) {
        const std::string_view name = FaceOfListEntry(face);
        faces << Q(name);
    }
    return faces;
}

// The face list of the text and list dialogs. Its entries keep their leading
// blank (" Verdana"), so typing a face's first letters finds it behind the
// blank: "Verd" reaches " Verdana". A letter pressed again steps to the next
// face that starts with it, as in any list.
class FaceListWidget : public QListWidget {
public:
    using QListWidget::QListWidget;

    void keyboardSearch(const QString& search) override {
        if (search.isEmpty()) {
            typed_.clear();
            return;
        }
        if (!typed_clock_.isValid() ||
            typed_clock_.elapsed() > QApplication::keyboardInputInterval()) {
            typed_.clear();
        }
        typed_clock_.start();
        typed_ += search;
        const bool one_letter = typed_.count(typed_.front()) == typed_.size();
        const QString wanted = one_letter ? typed_.left(1) : typed_;
        // A new first letter moves on from the current face; more letters
        // refine the search from it.
        const int from = currentRow() + (one_letter ? 1 : 0);
        for (int i = 0; i < count(); ++i) {
            const int row = (std::max(from, 0) + i) % count();
            if (item(row)->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
                setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
                return;
            }
        }
    }

private:
    QString typed_;
    QElapsedTimer typed_clock_;
};

} // namespace

QCheckBox* MakeStyleBox(const QString& object_name, const QString& caption, QWidget* parent,
                        bool bold, bool italic, bool underline, bool strikeout) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(object_name);
    QFont font = box->font();
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeout);
    box->setFont(font);
    return box;
}

QComboBox* MakeFaceCombo(const QString& object_name, QWidget* parent) {
    auto* combo = MakeEditableList(object_name, FaceEntries(), parent, "Arial");
    // Typing completes a face although the entries start with a blank.
    auto* completer = new QCompleter(TypedFaces(), combo);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    combo->setCompleter(completer);
    combo->setMaxVisibleItems(16);
    combo->setToolTip(QObject::tr("Font face"));
    return combo;
}

FontGroup::FontGroup(ColourMemory* colours, const QString& italic_caption, QWidget* parent)
    : QWidget(parent) {
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("Face:"), this));
    faces_ = new FaceListWidget(this);
    faces_->setObjectName("ListBox1");
    faces_->addItems(FaceEntries());
    faces_->setMinimumWidth(170);
    faces_->setToolTip(tr("Font face"));
    left->addWidget(faces_, 1);
    auto* sample_group = new QGroupBox(tr("Sample"), this);
    auto* sample_layout = new QVBoxLayout(sample_group);
    sample_ = new QLabel("Aa Bb Cc", sample_group);
    sample_->setObjectName("Panel2");
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFrameShape(QFrame::StyledPanel);
    sample_->setFrameShadow(QFrame::Sunken);
    sample_->setMinimumHeight(48);
    sample_layout->addWidget(sample_);
    ListBox1Click();
    left->addWidget(sample_group);
    columns->addLayout(left);

    right_ = new QWidget(this);
    auto* right = new QVBoxLayout(right_);
    right->setContentsMargins(0, 0, 0, 0);

    auto* styles = new QGroupBox(tr("Font Style"), right_);
    auto* style_row = new QHBoxLayout(styles);
    bold_ = MakeStyleBox("CheckBox1", tr("Bold"), styles, true, false, false, false);
    italic_ = MakeStyleBox("CheckBox2", italic_caption, styles, false, true, false, false);
    underline_ = MakeStyleBox("CheckBox3", tr("Underline"), styles, false, false, true, false);
    strikeout_ = MakeStyleBox("CheckBox4", tr("Strikeout"), styles, false, false, false, true);
    for (QCheckBox* box : {bold_, italic_, underline_, strikeout_}) {
        style_row->addWidget(box);
    }
    style_row->addStretch(1);
    right->addWidget(styles);

    auto* general = new QGroupBox(tr("General Font Properties"), right_);
    auto* general_row = new QHBoxLayout(general);
    general_row->addWidget(new QLabel(tr("Color:"), general));
    colour_ = new ColourField("Edit1", "ToolButton2", colours, general, "[...] ");
    colour_->Edit()->setToolTip(tr("Font colour, for example #FF0000"));
    general_row->addWidget(colour_, 1);
    general_row->addWidget(new QLabel(tr(" Size:"), general));
    // HTML's seven sizes, as browsers show them.
    size_ = MakeSpinField("SpinEdit1", general, 0, 0, 7);
    size_->setSpecialValueText(tr("not set"));
    size_->setToolTip(tr("Text size from 1 to 7, as HTML defines them: 1 = about 10 px, 2 = "
                         "13 px, 3 = normal, about 16 px, 4 = 18 px, 5 = 24 px, 6 = 32 px, 7 = "
                         "48 px; 0: not set"));
    general_row->addWidget(size_);
    general_row->addWidget(new QLabel(tr("Align:"), general));
    align_ = MakeEditableList("ComboBox1", AlignItems(), general);
    align_->setToolTip(tr("Alignment of the block"));
    align_->setMinimumWidth(90);
    general_row->addWidget(align_);
    right->addWidget(general);
    right->addStretch(1);
    columns->addWidget(right_, 1);

    // The face shown as the current one is the face chosen: an entry made
    // current (also by the focus coming to the list) is selected, so what the
    // list highlights is what OK writes.
    connect(faces_, &QListWidget::currentItemChanged, this, [](QListWidgetItem* current) {
        if (current != nullptr && !current->isSelected()) {
            current->setSelected(true);
        }
    });
    connect(faces_, &QListWidget::itemClicked, this, &FontGroup::ListBox1Click);
    connect(faces_, &QListWidget::itemSelectionChanged, this, &FontGroup::ListBox1Click);
    connect(faces_, &QListWidget::currentRowChanged, this, &FontGroup::ListBox1Click);
}

void FontGroup::AddText(QWidget* widget, bool stretch) {
    auto* column = static_cast<QVBoxLayout*>(right_->layout());
    // The last item is the stretch that keeps one-line text groups at the top.
    column->insertWidget(column->count() - 1, widget, stretch ? 1 : 0);
    if (stretch) {
        column->setStretch(column->count() - 1, 0);
    }
}

QString FontGroup::Face() const {
    const QListWidgetItem* item = faces_->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return QString();
    }
    const std::string entry = item->text().toStdString();
    return QString::fromStdString(std::string(FaceOfListEntry(entry)));
}

void FontGroup::ListBox1Click() {
    // The sample shows the selected face, or the dialog's font when none is.
    QFont font = this->font();
    font.setPointSize(std::max(font.pointSize(), 9) + 5);
    const QString face = Face();
    if (!face.isEmpty()) {
        font.setFamily(face);
    }
    sample_->setFont(font);
    sample_->setText("Aa Bb Cc");
}

void FontGroup::Gather(FieldValues& values) const {
    values["face"] = Face().toStdString();
    values["bold"] = Flag(bold_->isChecked()).toStdString();
    values["italic"] = Flag(italic_->isChecked()).toStdString();
    values["underline"] = Flag(underline_->isChecked()).toStdString();
    values["strikeout"] = Flag(strikeout_->isChecked()).toStdString();
    values["color"] = colour_->Text().toStdString();
    values["size"] = std::to_string(SpinValue(size_));
    values["align"] = align_->currentText().toStdString();
}

void FontGroup::Bind(FieldFillers& fillers) {
    fillers.Add("face", [this](const QString& face) {
        SelectFace(faces_, face);
        ListBox1Click();
    });
    fillers.Add("bold", bold_);
    fillers.Add("italic", italic_);
    fillers.Add("underline", underline_);
    fillers.Add("strikeout", strikeout_);
    fillers.Add("color", colour_);
    fillers.Add("size", size_);
    fillers.Add("align", align_);
}

} // namespace qf
