#include "widgets/colour_field.h"

#include "components/colour.h"
#include "services/prompts.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace qf {

namespace {

// Four colour squares, for a colour button without a caption.
QIcon SwatchIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 7, 7, QColor(0xCC, 0x22, 0x22));
    painter.fillRect(8, 1, 7, 7, QColor(0x22, 0x99, 0x33));
    painter.fillRect(1, 8, 7, 7, QColor(0x22, 0x44, 0xCC));
    painter.fillRect(8, 8, 7, 7, QColor(0xEE, 0xCC, 0x22));
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

} // namespace

ColourField::ColourField(const QString& edit_name, const QString& button_name, ColourMemory* memory,
                         QWidget* parent, const QString& button_text)
    : QWidget(parent), memory_(memory) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(edit_name);
    edit_->setMinimumWidth(90);
    button_ = new QToolButton(this);
    button_->setObjectName(button_name);
    button_->setText(button_text);
    if (button_text.trimmed().isEmpty()) {
        button_->setIcon(SwatchIcon());
    }
    button_->setToolTip(tr("Choose a colour"));
    row->addWidget(edit_, 1);
    row->addWidget(button_);
    connect(button_, &QToolButton::clicked, this, &ColourField::ChooseColour);
}

QString ColourField::Text() const {
    return edit_->text();
}

QString ColourField::HtmlColour(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return "#" +
           QString::fromStdString(ColorToHtmlHex(ColourRef(rgb.red(), rgb.green(), rgb.blue())));
}

void ColourField::ChooseColour() {
    const std::optional<QColor> colour = AppPrompts().Colour(window(), memory_->last);
    if (!colour) {
        return;
    }
    memory_->last = *colour;
    edit_->setText(HtmlColour(*colour));
}

} // namespace qf
