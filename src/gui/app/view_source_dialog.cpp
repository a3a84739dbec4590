#include "app/view_source_dialog.h"

#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <QFontDatabase>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

TFormt::TFormt(std::string page_text, QWidget* parent)
    : ToolDialog("View Page Source", "View Page Source", parent), page_text_(std::move(page_text)) {
    setObjectName("TFormt");
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("Memo1");
    // What is typed here would be thrown away: the source is for reading and
    // copying only.
    memo_->setReadOnly(true);
    memo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo_->setMinimumSize(420, 240);
    Body()->addWidget(memo_, 1);

    QPushButton* close = AddButton("Close  ", "Button1");
    close->setToolTip("Close the page source");
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    MakeResizable();
    resize(640, 460);
}

void TFormt::showEvent(QShowEvent* event) {
    ToolDialog::showEvent(event);
    // The copy goes in once, as the dialog first becomes active.
    if (!filled_) {
        filled_ = true;
        memo_->setPlainText(DecodeSource(page_text_).text);
    }
}

bool OpenViewSource(Workspace& workspace, QWidget* parent) {
    TFormt dialog(workspace.page_text, parent);
    dialog.exec();
    return false;
}

} // namespace qf
