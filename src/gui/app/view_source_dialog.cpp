#include "app/view_source_dialog.h"

#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSyntaxHighlighter>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace qf {

namespace {

// Colours the lines of the source view: markers, comments, tags with their
// attributes and values; text between tags stays plain.
class SourceHighlighter : public QSyntaxHighlighter {
public:
    explicit SourceHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
        marker_.setForeground(QColor("#8e24aa"));
        marker_.setBackground(QColor("#f6eefa"));
        marker_.setFontWeight(QFont::Bold);
        comment_.setForeground(QColor("#808080"));
        comment_.setFontItalic(true);
        tag_.setForeground(QColor("#1a5fb4"));
        tag_.setFontWeight(QFont::Bold);
        attribute_.setForeground(QColor("#9c5b00"));
        value_.setForeground(QColor("#26842b"));
    }

protected:
    void highlightBlock(const QString& line) override {
        if (line.startsWith("<!---") && line.endsWith("---!>")) {
            setFormat(0, int(line.size()), marker_);
            return;
        }
        if (line.startsWith("<!")) {
            setFormat(0, int(line.size()), comment_);
            return;
        }
        if (!line.startsWith('<')) {
            return;
        }
        static const QRegularExpression name(R"(^</?[^\s>/]+)");
        static const QRegularExpression pair(
            R"re(([^\s=<>"'/]+)(\s*=\s*("[^"]*"?|'[^']*'?|[^\s>]+))?)re");
        const QRegularExpressionMatch tag = name.match(line);
        const int name_end = int(tag.capturedEnd());
        setFormat(0, name_end, tag_);
        if (line.endsWith('>')) {
            setFormat(int(line.size()) - 1, 1, tag_);
        }
        auto pairs = pair.globalMatch(line, name_end);
        while (pairs.hasNext()) {
            const QRegularExpressionMatch match = pairs.next();
            setFormat(int(match.capturedStart(1)), int(match.capturedLength(1)), attribute_);
            if (match.capturedLength(3) > 0) {
                setFormat(int(match.capturedStart(3)), int(match.capturedLength(3)), value_);
            }
        }
    }

private:
    QTextCharFormat marker_;
    QTextCharFormat comment_;
    QTextCharFormat tag_;
    QTextCharFormat attribute_;
    QTextCharFormat value_;
};

} // namespace

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
    memo_->setToolTip(tr("The page's source, one tag or marker a line (Ctrl+F finds)"));
    new SourceHighlighter(memo_->document());
    Body()->addWidget(memo_, 1);

    find_bar_ = new QWidget(this);
    find_bar_->setObjectName("FindBar");
    auto* row = new QHBoxLayout(find_bar_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(tr("Find:"), find_bar_));
    find_edit_ = new QLineEdit(find_bar_);
    find_edit_->setObjectName("FindEdit");
    find_edit_->setClearButtonEnabled(true);
    find_edit_->setToolTip(
        tr("Text to find; Enter finds the next place, Shift+Enter the one before"));
    row->addWidget(find_edit_, 1);
    auto* previous = new QToolButton(find_bar_);
    previous->setObjectName("FindPrevious");
    previous->setArrowType(Qt::UpArrow);
    previous->setToolTip(tr("Find the place before (Shift+F3)"));
    auto* next = new QToolButton(find_bar_);
    next->setObjectName("FindNext");
    next->setArrowType(Qt::DownArrow);
    next->setToolTip(tr("Find the next place (F3)"));
    row->addWidget(previous);
    row->addWidget(next);
    find_result_ = new QLabel(find_bar_);
    find_result_->setObjectName("FindResult");
    row->addWidget(find_result_);
    find_bar_->hide();
    Body()->addWidget(find_bar_);
    connect(next, &QToolButton::clicked, this, &TFormt::FindNext);
    connect(previous, &QToolButton::clicked, this, &TFormt::FindPrevious);
    connect(find_edit_, &QLineEdit::returnPressed, this, &TFormt::FindNext);
    connect(find_edit_, &QLineEdit::textChanged, find_result_, &QLabel::clear);
    auto* back = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), find_edit_, nullptr,
                               nullptr, Qt::WidgetShortcut);
    connect(back, &QShortcut::activated, this, &TFormt::FindPrevious);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &TFormt::ShowFind);
    auto* again = new QShortcut(QKeySequence::FindNext, this);
    connect(again, &QShortcut::activated, this, &TFormt::FindNext);
    auto* before = new QShortcut(QKeySequence::FindPrevious, this);
    connect(before, &QShortcut::activated, this, &TFormt::FindPrevious);

    QPushButton* close = AddButton("Close  ", "Button1");
    close->setToolTip("Close the page source");
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    MakeResizable();
    resize(720, 520);
}

void TFormt::showEvent(QShowEvent* event) {
    ToolDialog::showEvent(event);
    // The copy goes in once, as the dialog first becomes active.
    if (!filled_) {
        filled_ = true;
        std::string shown;
        for (const std::string& line : SourceLines(page_text_)) {
            if (!shown.empty()) {
                shown += '\n';
            }
            shown += line;
        }
        memo_->setPlainText(DecodeSource(shown).text);
    }
}

void TFormt::ShowFind() {
    find_bar_->show();
    find_edit_->setFocus();
    find_edit_->selectAll();
}

void TFormt::FindNext() {
    Find(false);
}

void TFormt::FindPrevious() {
    Find(true);
}

void TFormt::Find(bool backward) {
    const QString text = find_edit_->text();
    if (text.isEmpty()) {
        ShowFind();
        return;
    }
    // As written or as read: "Zürich" also where the page has "Z&#252;rich".
    QTextCursor cursor = memo_->textCursor();
    const SourceMatch match =
        FindInSource(memo_->toPlainText(), text,
                     backward ? cursor.selectionStart() : cursor.selectionEnd(), backward);
    if (!match.Found()) {
        find_result_->setText(tr("Not found"));
        return;
    }
    cursor.setPosition(int(match.start));
    cursor.setPosition(int(match.start + match.length), QTextCursor::KeepAnchor);
    memo_->setTextCursor(cursor);
    find_result_->clear();
}

bool OpenViewSource(Workspace& workspace, QWidget* parent) {
    TFormt dialog(workspace.page_text, parent);
    dialog.exec();
    return false;
}

} // namespace qf
