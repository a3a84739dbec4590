#pragma once

#include <QLabel>

namespace qf {

// A one-line label for a text that may be longer than the room it has: it
// shows as much as fits, ending in "…" when cut, and the whole text as its
// tooltip. It takes whatever width its layout gives it.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    QString FullText() const { return full_text_; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString full_text_;
};

} // namespace qf
