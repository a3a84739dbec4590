#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QTreeWidget;

namespace qf {

namespace publish {
class SecretStore;
struct Target;
} // namespace publish

// File > Publish Project: chooses or sets a target of the project, lists what
// a publish would add, replace and delete, and publishes on a worker thread
// while a progress dialog shows the file, the files and bytes done, and can
// cancel. The password comes from the secret store or is asked; every
// question (a host key, a certificate, the files to delete, plain FTP) goes
// through the prompts on the window's thread while the worker waits.
class PublishDialog : public QDialog {
    Q_OBJECT

public:
    PublishDialog(const QString& project_folder, std::unique_ptr<publish::SecretStore> store,
                  QWidget* parent = nullptr);
    ~PublishDialog() override;

    // True while a dry run or a publish is under way.
    bool Running() const;
    // The running publish's progress dialog; null between runs.
    QProgressDialog* Progress() const { return progress_; }

public Q_SLOTS:
    // Both start on the worker and return at once; Finished follows.
    void DryRunClick();
    void PublishClick();

Q_SIGNALS:
    // A dry run or publish ended: `done` when it completed.
    void Finished(bool done);

protected:
    // While a run is under way the dialog cancels it and closes once it stopped.
    void reject() override;

private:
    class Run;

    // `force`: replace what others pushed to a git target's branch (asked first).
    void Start(bool dry_run, bool force = false);
    // The branch and folder fields take input only for a git repository.
    void ShowGitFields();
    void FillFromTarget(const QString& name);
    // The target as the fields give it, set in the project's targets when it
    // differs; false (after the message) when it is refused.
    bool TakeTarget(publish::Target& target);
    // The password of `target`, from the store or asked; false when the user cancelled.
    bool TakePassword(const publish::Target& target, std::string& password);
    void ShowProgress();
    void Ended();
    void SetRunning(bool running);
    void AddLine(const QString& action, const QString& path, qint64 size);

    QString folder_;
    std::unique_ptr<publish::SecretStore> store_;
    std::unique_ptr<Run> run_;
    bool close_when_done_ = false;

    QComboBox* name_ = nullptr;
    QLineEdit* url_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* key_ = nullptr;
    QLineEdit* site_address_ = nullptr;      // the target's own address of the site
    QLineEdit* branch_ = nullptr;            // a git target's branch
    QLineEdit* repository_folder_ = nullptr; // and the site's folder in it
    QPushButton* browse_key_ = nullptr;
    QCheckBox* remember_ = nullptr;
    QCheckBox* delete_gone_ = nullptr;
    QCheckBox* leave_unused_ = nullptr;
    QTreeWidget* plan_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* dry_run_ = nullptr;
    QPushButton* publish_ = nullptr;
    QPushButton* close_ = nullptr;
    QProgressDialog* progress_ = nullptr;
};

} // namespace qf
