#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace qf {

// The colour the colour dialog starts with, shared by the colour fields of one
// opening of a dialog: black at first, then the last colour chosen.
struct ColourMemory {
    QColor last = Qt::black;
};

// A colour field: a text box and, beside it, a button that runs the colour
// dialog and writes "#" + the chosen colour's HTML hex digits into the box. A
// cancelled colour dialog leaves the box as it was. The box stays editable,
// so any colour text can also be typed.
class ColourField : public QWidget {
    Q_OBJECT

public:
    ColourField(const QString& edit_name, const QString& button_name, ColourMemory* memory,
                QWidget* parent = nullptr, const QString& button_text = "[...]  ");

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }
    QString Text() const;

    // "#" + the six upper-case hex digits of `colour` in HTML order.
    static QString HtmlColour(const QColor& colour);

public Q_SLOTS:
    void ChooseColour();

private:
    QLineEdit* edit_;
    QToolButton* button_;
    ColourMemory* memory_;
};

} // namespace qf
