#include "widgets/elided_label.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace qf {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::SetFullText(const QString& text) {
    full_text_ = text;
    setToolTip(text);
    Elide();
}

QSize ElidedLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void ElidedLabel::Elide() {
    const int room = contentsRect().width();
    setText(fontMetrics().elidedText(full_text_, Qt::ElideRight, room));
}

} // namespace qf
