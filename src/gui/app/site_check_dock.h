#pragma once

#include "check/site_check.h"

#include <QDockWidget>
#include <QString>

#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QThread;
class QTreeView;

namespace qf {

class FindingFilter;

// Tools > Check Site: the findings of the site check in a list that sorts by
// any column and filters by severity and page. The check runs on a thread of
// its own over the core's CheckSite, which only reads files, so the window
// keeps answering; a progress bar and Cancel show while it runs.
class SiteCheckDock : public QDockWidget {
    Q_OBJECT

public:
    explicit SiteCheckDock(QWidget* parent = nullptr);
    // Cancels a check still running and waits for its thread.
    ~SiteCheckDock() override;

    // Checks the project folder `folder` (ending in "/"); a check still
    // running is cancelled first and its findings are never shown.
    void Start(const QString& folder);
    // Asks the running check to stop; what it found so far is shown.
    void Cancel();
    bool Running() const { return thread_ != nullptr; }

    // The folder and the result of the last check that ended.
    const QString& Folder() const { return folder_; }
    const SiteCheckResult& Result() const { return result_; }

Q_SIGNALS:
    // "Check Again" was pressed.
    void CheckAgainClicked();
    // A finding was clicked, or double-clicked.
    void FindingChosen(const qf::Finding& finding);
    void FindingOpened(const qf::Finding& finding);
    // A check has ended (also a cancelled one, or one whose folder failed).
    void Finished();

private:
    struct Run;
    void Take(const std::shared_ptr<Run>& run);
    void ShowProgress(int done, int total);
    void FillList();
    void FillPageFilter();
    void ShowSummary();
    const Finding* FindingAt(const QModelIndex& index) const;

    QPushButton* check_again_ = nullptr;
    QComboBox* severity_filter_ = nullptr;
    QComboBox* page_filter_ = nullptr;
    QLabel* summary_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QTreeView* view_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    FindingFilter* filter_ = nullptr;

    QThread* thread_ = nullptr;
    std::shared_ptr<Run> run_; // the check running, shared with its thread
    QString folder_;
    SiteCheckResult result_;
    QString error_; // why the last check could not read its folder
};

} // namespace qf
