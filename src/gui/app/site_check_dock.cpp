#include "app/site_check_dock.h"

#include "error.h"
#include "picture_size.h"
#include "services/utf8_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

namespace qf {

namespace {

enum Column { kSeverityColumn, kPageColumn, kPlaceColumn, kEntryColumn, kMessageColumn };

constexpr int kSortRole = Qt::UserRole;
constexpr int kFindingRole = Qt::UserRole + 1; // index into the result's findings
constexpr int kSeverityRole = Qt::UserRole + 2;

QString Counted(int count, const char* one, const char* many) {
    return QString("%1 %2").arg(count).arg(count == 1 ? one : many);
}

} // namespace

// Rows of the chosen severity and page; -1 and an empty page mean all.
class FindingFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void Set(int severity, const QString& page) {
        severity_ = severity;
        page_ = page;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QAbstractItemModel* model = sourceModel();
        if (severity_ >= 0 &&
            model->index(row, kSeverityColumn, parent).data(kSeverityRole).toInt() != severity_) {
            return false;
        }
        return page_.isEmpty() || model->index(row, kPageColumn, parent).data().toString() == page_;
    }

private:
    int severity_ = -1;
    QString page_;
};

struct SiteCheckDock::Run {
    std::string folder;
    std::atomic<bool> cancel{false};
    SiteCheckResult result;
    QString error;
};

SiteCheckDock::SiteCheckDock(QWidget* parent) : QDockWidget("Check Site", parent) {
    setObjectName("SiteCheckDock");
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);

    auto* bar = new QHBoxLayout;
    check_again_ = new QPushButton("Check Again", body);
    check_again_->setObjectName("CheckAgain");
    check_again_->setToolTip("Check every page of the project once more");
    bar->addWidget(check_again_);
    bar->addSpacing(8);
    bar->addWidget(new QLabel("Show:", body));
    severity_filter_ = new QComboBox(body);
    severity_filter_->setObjectName("SeverityFilter");
    severity_filter_->addItem("All severities", -1);
    severity_filter_->addItem("Errors", int(Severity::kError));
    severity_filter_->addItem("Warnings", int(Severity::kWarning));
    severity_filter_->addItem("Notes", int(Severity::kNote));
    bar->addWidget(severity_filter_);
    page_filter_ = new QComboBox(body);
    page_filter_->setObjectName("PageFilter");
    page_filter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    page_filter_->addItem("All pages");
    bar->addWidget(page_filter_);
    summary_ = new QLabel(body);
    summary_->setObjectName("Summary");
    bar->addWidget(summary_, 1);
    progress_ = new QProgressBar(body);
    progress_->setObjectName("CheckProgress");
    progress_->setFormat("%v of %m pages");
    progress_->setVisible(false);
    bar->addWidget(progress_);
    cancel_button_ = new QPushButton("Cancel", body);
    cancel_button_->setObjectName("CancelCheck");
    cancel_button_->setVisible(false);
    bar->addWidget(cancel_button_);
    layout->addLayout(bar);

    model_ = new QStandardItemModel(0, 5, this);
    model_->setHorizontalHeaderLabels({"Severity", "Page", "Line:Column", "Entry", "Message"});
    filter_ = new FindingFilter(this);
    filter_->setSourceModel(model_);
    filter_->setSortRole(kSortRole);
    view_ = new QTreeView(body);
    view_->setObjectName("Findings");
    view_->setModel(filter_);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setAlternatingRowColors(true);
    view_->setSortingEnabled(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->header()->setStretchLastSection(true);
    view_->sortByColumn(-1,
                        Qt::AscendingOrder); // as the check lists them, until a header is clicked
    view_->setToolTip("Click a finding to select it in its page; double-click to modify it");
    layout->addWidget(view_, 1);
    setWidget(body);

    connect(check_again_, &QPushButton::clicked, this, &SiteCheckDock::CheckAgainClicked);
    connect(cancel_button_, &QPushButton::clicked, this, &SiteCheckDock::Cancel);
    const auto refilter = [this] {
        filter_->Set(severity_filter_->currentData().toInt(),
                     page_filter_->currentIndex() <= 0 ? QString() : page_filter_->currentText());
    };
    connect(severity_filter_, &QComboBox::currentIndexChanged, this, refilter);
    connect(page_filter_, &QComboBox::currentIndexChanged, this, refilter);
    connect(view_, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (const Finding* finding = FindingAt(index)) {
            Q_EMIT FindingChosen(*finding);
        }
    });
    connect(view_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const Finding* finding = FindingAt(index)) {
            Q_EMIT FindingOpened(*finding);
        }
    });
}

SiteCheckDock::~SiteCheckDock() {
    if (thread_ != nullptr) {
        run_->cancel = true;
        thread_->wait();
        delete thread_;
    }
}

void SiteCheckDock::Start(const QString& folder) {
    if (thread_ != nullptr) {
        // The old check stops at once (it looks at its flag often); its
        // findings are dropped.
        thread_->disconnect(this);
        run_->cancel = true;
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
    auto run = std::make_shared<Run>();
    run->folder = folder.toStdString();
    run_ = run;
    progress_->setRange(0, 0);
    progress_->setValue(0);
    progress_->setVisible(true);
    cancel_button_->setVisible(true);
    cancel_button_->setEnabled(true);
    summary_->setText(QString("Checking %1 …").arg(folder));

    // The thread works on its run alone and posts its progress back; the
    // dock outlives it (its end is waited for).
    thread_ = QThread::create([this, run] {
        SiteCheckOptions options;
        options.picture_size = ImageReaderPictureSizes();
        options.cancel = &run->cancel;
        options.progress = [this, run](int done, int total) {
            QMetaObject::invokeMethod(
                this,
                [this, run, done, total] {
                    if (run == run_) {
                        ShowProgress(done, total);
                    }
                },
                Qt::QueuedConnection);
        };
        try {
            run->result = CheckSite(run->folder, options);
        } catch (const std::exception& error) {
            run->error = QString::fromUtf8(error.what());
        }
    });
    thread_->setObjectName("SiteCheck");
    connect(thread_, &QThread::finished, this, [this, run] { Take(run); });
    thread_->start(QThread::LowPriority);
}

void SiteCheckDock::Cancel() {
    if (run_ != nullptr && thread_ != nullptr) {
        run_->cancel = true;
        cancel_button_->setEnabled(false);
        summary_->setText("Cancelling …");
    }
}

void SiteCheckDock::ShowProgress(int done, int total) {
    progress_->setRange(0, total);
    progress_->setValue(done);
}

void SiteCheckDock::Take(const std::shared_ptr<Run>& run) {
    if (run != run_) {
        return;
    }
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    folder_ = Q(run->folder);
    result_ = std::move(run->result);
    error_ = run->error;
    run_.reset();
    progress_->setVisible(false);
    cancel_button_->setVisible(false);
    FillList();
    ShowSummary();
    Q_EMIT Finished();
}

void SiteCheckDock::FillList() {
    // Sorting is switched off while filling, so rows keep the check's order
    // underneath and the chosen sort is applied once.
    view_->setSortingEnabled(false);
    model_->removeRows(0, model_->rowCount());
    static const QString kSeverityTexts[] = {"error", "warning", "note"};
    for (std::size_t i = 0; i < result_.findings.size(); ++i) {
        const Finding& finding = result_.findings[i];
        QList<QStandardItem*> row;
        auto add = [&](const QString& text, const QVariant& sort_key) {
            auto* item = new QStandardItem(text);
            item->setData(sort_key, kSortRole);
            item->setData(qlonglong(i), kFindingRole);
            item->setToolTip(text);
            row.append(item);
        };
        const int severity = int(finding.severity);
        // Sorting by a column keeps the check's order within equal keys.
        add(kSeverityTexts[severity], qlonglong(severity) << 32 | qlonglong(i));
        row.back()->setData(severity, kSeverityRole);
        add(Q(finding.page), Q(finding.page));
        add(finding.line > 0 ? QString("%1:%2").arg(finding.line).arg(finding.column) : QString(),
            qlonglong(finding.line) << 32 | qlonglong(finding.column));
        add(Q(finding.entry), Q(finding.entry));
        add(Q(finding.message), Q(finding.message));
        model_->appendRow(row);
    }
    view_->setSortingEnabled(true);
    FillPageFilter();
    for (int column = 0; column < kMessageColumn; ++column) {
        view_->resizeColumnToContents(column);
    }
}

void SiteCheckDock::FillPageFilter() {
    const QString shown =
        page_filter_->currentIndex() > 0 ? page_filter_->currentText() : QString();
    const QSignalBlocker blocker(page_filter_);
    page_filter_->clear();
    page_filter_->addItem("All pages");
    QString last;
    for (const Finding& finding : result_.findings) {
        const QString page = Q(finding.page);
        if (page != last && page_filter_->findText(page, Qt::MatchExactly) < 0) {
            page_filter_->addItem(page);
        }
        last = page;
    }
    // The page chosen stays chosen while it has findings.
    const int index = shown.isEmpty() ? 0 : page_filter_->findText(shown, Qt::MatchExactly);
    page_filter_->setCurrentIndex(index < 0 ? 0 : index);
    filter_->Set(severity_filter_->currentData().toInt(),
                 page_filter_->currentIndex() <= 0 ? QString() : page_filter_->currentText());
}

void SiteCheckDock::ShowSummary() {
    if (!error_.isEmpty()) {
        summary_->setText(error_);
        return;
    }
    int counts[3] = {0, 0, 0};
    for (const Finding& finding : result_.findings) {
        ++counts[int(finding.severity)];
    }
    QString text =
        QString("%1 checked: %2, %3, %4")
            .arg(Counted(result_.pages, "page", "pages"), Counted(counts[0], "error", "errors"),
                 Counted(counts[1], "warning", "warnings"), Counted(counts[2], "note", "notes"));
    if (result_.cancelled) {
        text = "Cancelled: " + text;
    }
    summary_->setText(text);
}

const Finding* SiteCheckDock::FindingAt(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;
    }
    const qlonglong at = index.data(kFindingRole).toLongLong();
    return at >= 0 && std::size_t(at) < result_.findings.size() ? &result_.findings[std::size_t(at)]
                                                                : nullptr;
}

} // namespace qf
