#include "workspace/replace_dialog.h"

#include "error.h"
#include "services/utf8_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qf {

TReplaceInSite::TReplaceInSite(std::string project_folder, QWidget* parent)
    : QDialog(parent), project_folder_(std::move(project_folder)) {
    setObjectName("TReplaceInSite");
    setWindowTitle(tr("Find and Replace in Site"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    column->addLayout(form);

    find_ = new QLineEdit(this);
    find_->setObjectName("EditFind");
    find_->setToolTip(tr("The text visitors read that you look for (never markup)"));
    find_->setClearButtonEnabled(true);
    auto* find_row = new QHBoxLayout;
    find_row->addWidget(find_, 1);
    auto* find_button = new QPushButton(tr("&Find All"), this);
    find_button->setObjectName("ButtonFindAll");
    find_button->setToolTip(tr("List every match on every page (Enter)"));
    find_row->addWidget(find_button);
    auto* find_label = new QLabel(tr("F&ind:"), this);
    find_label->setBuddy(find_);
    form->addRow(find_label, find_row);

    replace_ = new QLineEdit(this);
    replace_->setObjectName("EditReplace");
    replace_->setToolTip(tr("What the checked matches become; in texts it stays text"));
    form->addRow(tr("Replace &with:"), replace_);

    auto* options = new QHBoxLayout;
    whole_words_ = new QCheckBox(tr("Whole w&ords only"), this);
    whole_words_->setObjectName("CheckWholeWords");
    match_case_ = new QCheckBox(tr("Match &case"), this);
    match_case_->setObjectName("CheckMatchCase");
    options->addWidget(whole_words_);
    options->addWidget(match_case_);
    options->addStretch(1);
    form->addRow(QString(), options);

    matches_ = new QTreeWidget(this);
    matches_->setObjectName("ListMatches");
    matches_->setColumnCount(3);
    matches_->setHeaderLabels({tr("Page"), tr("Component"), tr("Text")});
    matches_->setRootIsDecorated(false);
    matches_->setUniformRowHeights(true);
    matches_->header()->setStretchLastSection(true);
    matches_->setMinimumSize(560, 220);
    matches_->setToolTip(tr("Untick the matches to leave as they are"));
    column->addWidget(matches_, 1);

    count_ = new QLabel(tr("Type a text and press Find All."), this);
    count_->setObjectName("LabelMatchCount");
    count_->setWordWrap(true);
    count_->setTextFormat(Qt::PlainText);
    column->addWidget(count_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    replace_button_ = buttons->addButton(tr("&Replace Checked"), QDialogButtonBox::AcceptRole);
    replace_button_->setObjectName("ButtonReplace");
    replace_button_->setToolTip(tr("Replace the checked matches on their pages: one undo step"));
    replace_button_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);

    find_button->setDefault(true);
    connect(find_button, &QPushButton::clicked, this, &TReplaceInSite::FindAll);
    connect(find_, &QLineEdit::returnPressed, this, &TReplaceInSite::FindAll);
    // Matches of another text or other options are no longer the ones shown.
    const auto stale = [this] {
        replace_button_->setEnabled(false);
        if (!found_.empty()) {
            count_->setText(tr("Find All again for the text and options as they are now."));
        }
    };
    connect(find_, &QLineEdit::textChanged, this, stale);
    connect(whole_words_, &QCheckBox::toggled, this, stale);
    connect(match_case_, &QCheckBox::toggled, this, stale);
    connect(matches_, &QTreeWidget::itemChanged, this, &TReplaceInSite::ShowCount);
    resize(720, 420);
}

std::string TReplaceInSite::FindText() const {
    return find_->text().toStdString();
}

std::string TReplaceInSite::ReplacementText() const {
    return replace_->text().toStdString();
}

FindOptions TReplaceInSite::Options() const {
    FindOptions options;
    options.whole_words = whole_words_->isChecked();
    options.match_case = match_case_->isChecked();
    return options;
}

std::vector<SiteMatch> TReplaceInSite::Chosen() const {
    std::vector<SiteMatch> chosen;
    for (int i = 0; i < matches_->topLevelItemCount(); ++i) {
        if (matches_->topLevelItem(i)->checkState(0) == Qt::Checked &&
            static_cast<std::size_t>(i) < found_.size()) {
            chosen.push_back(found_[static_cast<std::size_t>(i)]);
        }
    }
    return chosen;
}

void TReplaceInSite::FindAll() {
    const QSignalBlocker block(matches_);
    matches_->clear();
    found_.clear();
    SiteSearch search;
    try {
        search = FindInSite(project_folder_, FindText(), Options());
    } catch (const CommandError& error) {
        count_->setText(QString::fromUtf8(error.what()));
        replace_button_->setEnabled(false);
        return;
    }
    found_ = std::move(search.matches);
    found_for_ = FindText();
    found_with_ = Options();
    for (const SiteMatch& match : found_) {
        auto* item = new QTreeWidgetItem(
            matches_, {Q(match.page), Q(match.component),
                       Q(match.before) + "[" + Q(match.found) + "]" + Q(match.after)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        item->setToolTip(2, Q(match.field));
    }
    matches_->resizeColumnToContents(0);
    matches_->resizeColumnToContents(1);
    ShowCount();
    if (!search.skipped.empty()) {
        QStringList skipped;
        for (const std::string& line : search.skipped) {
            skipped << Q(line);
        }
        count_->setText(count_->text() + "\n" + tr("Not searched: ") + skipped.join("; "));
    }
}

void TReplaceInSite::ShowCount() {
    int checked = 0;
    for (int i = 0; i < matches_->topLevelItemCount(); ++i) {
        checked += matches_->topLevelItem(i)->checkState(0) == Qt::Checked ? 1 : 0;
    }
    const int total = matches_->topLevelItemCount();
    count_->setText(total == 0 ? tr("No match.")
                               : tr("%1 of %2 match(es) checked.").arg(checked).arg(total));
    // Matches of another text or other options are not the ones shown.
    const FindOptions now = Options();
    const bool current = FindText() == found_for_ && now.whole_words == found_with_.whole_words &&
                         now.match_case == found_with_.match_case;
    replace_button_->setEnabled(checked > 0 && current);
}

} // namespace qf
