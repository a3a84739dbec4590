#include "app/publish_dialog.h"

#include "services/utf8_text.h"
#include "web_picture.h"

#include "error.h"
#include "publish/publish.h"
#include "publish/secret_store.h"
#include "publish/targets.h"
#include "services/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace qf {

namespace {

QString ActionText(publish::Action action, bool dry_run) {
    switch (action) {
    case publish::Action::Add:
        return dry_run ? "would add" : "added";
    case publish::Action::Replace:
        return dry_run ? "would replace" : "replaced";
    case publish::Action::Delete:
        return dry_run ? "would delete" : "deleted";
    case publish::Action::Keep:
        break;
    }
    return dry_run ? "would keep" : "kept";
}

// The files a question lists, the first twenty of them.
QString ListOf(const std::vector<publish::PlanItem>& items) {
    QString text;
    const std::size_t shown = std::min<std::size_t>(items.size(), 20);
    for (std::size_t i = 0; i < shown; ++i) {
        text += "\n  " + Q(items[i].path) + " (" + Q(publish::SizeText(items[i].size)) + ")";
    }
    if (items.size() > shown) {
        text += QString("\n  and %1 more").arg(items.size() - shown);
    }
    return text;
}

} // namespace

// One dry run or publish: the worker thread and what it shares with the
// window's thread.
class PublishDialog::Run {
public:
    explicit Run(PublishDialog* dialog) : dialog_(dialog) {}

    // On the worker: runs `question` on the window's thread and waits for its
    // answer; false once the dialog is closing.
    bool Ask(std::function<bool()> question) {
        auto answer = std::make_shared<std::optional<bool>>();
        std::unique_lock lock(mutex_);
        if (closing_) {
            return false;
        }
        QMetaObject::invokeMethod(
            dialog_,
            [this, question = std::move(question), answer] {
                const bool yes = question();
                std::lock_guard guard(mutex_);
                *answer = yes;
                answered_.notify_all();
            },
            Qt::QueuedConnection);
        answered_.wait(lock, [&] { return answer->has_value() || closing_; });
        return answer->value_or(false);
    }

    // On the window's thread: every question still waiting is answered no.
    void Close() {
        std::lock_guard guard(mutex_);
        closing_ = true;
        answered_.notify_all();
    }

    // On the worker: the progress so far and a step done, shown by the
    // window's thread when it gets to it (one update waits at a time).
    void Post(const publish::Progress* progress, const publish::PlanItem* done) {
        std::lock_guard guard(mutex_);
        if (progress != nullptr) {
            progress_ = *progress;
        }
        if (done != nullptr) {
            done_.push_back(*done);
        }
        if (!posted_) {
            posted_ = true;
            QMetaObject::invokeMethod(
                dialog_, [dialog = dialog_] { dialog->ShowProgress(); }, Qt::QueuedConnection);
        }
    }

    // On the window's thread: what was posted since the last time.
    publish::Progress Take(std::vector<publish::PlanItem>& done) {
        std::lock_guard guard(mutex_);
        posted_ = false;
        done.swap(done_);
        return progress_;
    }

    bool dry_run = false;
    std::string target_name;
    std::string target_url;
    std::atomic<bool> cancel{false};
    std::unique_ptr<QThread> thread;
    // Set by the worker before it ends.
    std::optional<publish::PublishReport> report;
    std::string error;
    bool branch_moved = false; // a git branch others pushed to: the error says who

private:
    PublishDialog* dialog_;
    std::mutex mutex_;
    std::condition_variable answered_;
    bool closing_ = false;
    bool posted_ = false;
    publish::Progress progress_;
    std::vector<publish::PlanItem> done_;
};

PublishDialog::PublishDialog(const QString& project_folder,
                             std::unique_ptr<publish::SecretStore> store, QWidget* parent)
    : QDialog(parent), folder_(project_folder), store_(std::move(store)) {
    setObjectName("PublishDialog");
    setWindowTitle("Publish Project");
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column->addLayout(form);

    name_ = new QComboBox(this);
    name_->setObjectName("TargetName");
    name_->setEditable(true);
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->setToolTip("A target of the project, or the name of a new one");
    form->addRow("&Target:", name_);
    url_ = new QLineEdit(this);
    url_->setObjectName("TargetUrl");
    url_->setPlaceholderText("sftp://host/folder, ftps://host/folder, ftp://host/folder, "
                             "/folder, or a git repository (ssh://host/path, https://host/path, "
                             "git+file:///path)");
    url_->setMinimumWidth(380);
    form->addRow("&Address:", url_);
    user_ = new QLineEdit(this);
    user_->setObjectName("TargetUser");
    form->addRow("&User:", user_);
    auto* key_row = new QHBoxLayout;
    key_ = new QLineEdit(this);
    key_->setObjectName("TargetKey");
    key_->setPlaceholderText("none: log in with a password");
    browse_key_ = new QPushButton("Browse...", this);
    browse_key_->setObjectName("BrowseKey");
    key_row->addWidget(key_, 1);
    key_row->addWidget(browse_key_);
    auto* key_label = new QLabel("SSH &key file:", this);
    key_label->setBuddy(key_);
    form->addRow(key_label, key_row);
    branch_ = new QLineEdit(this);
    branch_->setObjectName("TargetBranch");
    branch_->setPlaceholderText(QString::fromUtf8(publish::kDefaultGitBranch.data(),
                                                  qsizetype(publish::kDefaultGitBranch.size())));
    branch_->setToolTip("The branch of the git repository the site is committed to");
    form->addRow("Git &branch:", branch_);
    repository_folder_ = new QLineEdit(this);
    repository_folder_->setObjectName("TargetFolder");
    repository_folder_->setPlaceholderText("none: the whole branch is the site");
    repository_folder_->setToolTip(
        "The folder of the branch that holds the site (docs, say); the rest stays as it is");
    form->addRow("Folder in re&pository:", repository_folder_);
    site_address_ = new QLineEdit(this);
    site_address_->setObjectName("TargetSiteAddress");
    site_address_->setPlaceholderText("the site's own, from Site Settings");
    site_address_->setToolTip("Where visitors find the site published here (a staging "
                              "server's address, say), for its canonical links and sitemap");
    form->addRow("Site address &there:", site_address_);
    remember_ = new QCheckBox("&Remember the password in the desktop's secret store", this);
    remember_->setObjectName("RememberPassword");
    remember_->setChecked(true);
    form->addRow(QString(), remember_);
    delete_gone_ = new QCheckBox("&Delete on the server the files gone from the project", this);
    delete_gone_->setObjectName("DeleteGone");
    form->addRow(QString(), delete_gone_);
    leave_unused_ = new QCheckBox("L&eave out the pictures and media no page uses", this);
    leave_unused_->setObjectName("LeaveOutUnused");
    leave_unused_->setToolTip("Files in images/ and media/ that no page shows (left over from an "
                              "undone insertion, say) stay at home; Check Site lists them");
    form->addRow(QString(), leave_unused_);

    plan_ = new QTreeWidget(this);
    plan_->setObjectName("PlanList");
    plan_->setRootIsDecorated(false);
    plan_->setHeaderLabels({"Action", "File", "Size"});
    plan_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    plan_->header()->setStretchLastSection(false);
    plan_->setMinimumHeight(180);
    column->addWidget(plan_, 1);
    status_ = new QLabel(this);
    status_->setObjectName("PublishStatus");
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    dry_run_ = new QPushButton("D&ry Run", this);
    dry_run_->setObjectName("DryRun");
    publish_ = new QPushButton("&Publish", this);
    publish_->setObjectName("Publish");
    publish_->setDefault(true);
    close_ = new QPushButton("Close", this);
    close_->setObjectName("Close");
    buttons->addWidget(dry_run_);
    buttons->addWidget(publish_);
    buttons->addWidget(close_);
    column->addLayout(buttons);

    connect(dry_run_, &QPushButton::clicked, this, &PublishDialog::DryRunClick);
    connect(publish_, &QPushButton::clicked, this, &PublishDialog::PublishClick);
    connect(close_, &QPushButton::clicked, this, &PublishDialog::reject);
    connect(browse_key_, &QPushButton::clicked, this, [this] {
        const QString file = AppPrompts().OpenFile(this, "Choose an SSH Private Key",
                                                   QDir::homePath() + "/.ssh", "All files (*)");
        if (!file.isEmpty()) {
            key_->setText(file);
        }
    });
    connect(name_, &QComboBox::textActivated, this, &PublishDialog::FillFromTarget);
    connect(url_, &QLineEdit::textChanged, this, [this] { ShowGitFields(); });
    ShowGitFields();

    try {
        for (const publish::Target& target : publish::ReadTargets(folder_.toStdString())) {
            name_->addItem(Q(target.name));
        }
    } catch (const CommandError& error) {
        status_->setText(Q(error.what()));
    }
    if (name_->count() > 0) {
        FillFromTarget(name_->itemText(0));
    } else {
        name_->setEditText("site");
        status_->setText("The project has no publish target yet: give its name and address.");
    }
}

PublishDialog::~PublishDialog() {
    if (Running()) {
        run_->cancel = true;
        run_->Close();
        run_->thread->wait();
    }
}

bool PublishDialog::Running() const {
    return run_ != nullptr;
}

void PublishDialog::DryRunClick() {
    Start(true);
}

void PublishDialog::PublishClick() {
    Start(false);
}

void PublishDialog::reject() {
    if (!Running()) {
        QDialog::reject();
        return;
    }
    close_when_done_ = true;
    run_->cancel = true;
}

void PublishDialog::FillFromTarget(const QString& name) {
    try {
        const publish::Target target =
            publish::FindTarget(folder_.toStdString(), name.toStdString());
        name_->setEditText(Q(target.name));
        url_->setText(Q(target.url));
        user_->setText(Q(target.user));
        key_->setText(Q(target.key));
        site_address_->setText(Q(target.address));
        branch_->setText(Q(target.branch));
        repository_folder_->setText(Q(target.folder));
    } catch (const CommandError&) {
        // A new name: the fields stay as typed.
    }
}

bool PublishDialog::TakeTarget(publish::Target& target) {
    const std::string folder = folder_.toStdString();
    target.name = name_->currentText().trimmed().toStdString();
    target.url = url_->text().trimmed().toStdString();
    target.user = user_->text().trimmed().toStdString();
    target.key = key_->text().trimmed().toStdString();
    target.address = site_address_->text().trimmed().toStdString();
    if (branch_->isEnabled()) {
        target.branch = branch_->text().trimmed().toStdString();
        target.folder = repository_folder_->text().trimmed().toStdString();
    }
    try {
        std::optional<publish::Target> kept;
        for (const publish::Target& existing : publish::ReadTargets(folder)) {
            if (existing.name == target.name) {
                kept = existing;
            }
        }
        if (kept) {
            target.ca = kept->ca; // the dialog does not show it
        }
        if (!kept || kept->url != target.url || kept->user != target.user ||
            kept->key != target.key || kept->address != target.address ||
            kept->branch != target.branch || kept->folder != target.folder) {
            publish::SetTarget(folder, target);
            if (name_->findText(Q(target.name)) < 0) {
                name_->addItem(Q(target.name));
            }
        }
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, Q(error.what()));
        return false;
    }
    return true;
}

namespace {

// What the password question asks for: an HTTPS repository takes a token.
QString PasswordQuestion(const publish::Target& target) {
    const bool git = publish::KindOfUrl(target.url) == publish::TargetKind::Git;
    const bool token =
        git && publish::ReadGitAddress(target.url).carrier == publish::GitAddress::Carrier::Https;
    return QString(token ? "Token of " : "Password of ") +
           Q(git ? publish::GitUser(target) : target.user) + " for " + Q(target.url) + ":";
}

} // namespace

bool PublishDialog::TakePassword(const publish::Target& target, std::string& password) {
    if (!publish::NeedsPassword(target)) {
        return true;
    }
    const std::string key = publish::SecretKey(folder_.toStdString(), target.name);
    if (remember_->isChecked() && store_ != nullptr) {
        if (std::optional<std::string> kept = store_->Read(key)) {
            password = *kept;
            return true;
        }
    }
    const std::optional<QString> typed = AppPrompts().Secret(this, PasswordQuestion(target));
    if (!typed) {
        return false;
    }
    password = typed->toStdString();
    if (remember_->isChecked()) {
        try {
            if (store_ == nullptr) {
                throw CommandError("There is no secret store on this desktop");
            }
            store_->Write(key, password);
        } catch (const CommandError& error) {
            AppPrompts().ShowError(this, Q(error.what()) +
                                             "\nThe password is used for this publish only.");
        }
    }
    return true;
}

void PublishDialog::ShowGitFields() {
    bool git = false;
    try {
        git = publish::KindOfUrl(url_->text().trimmed().toStdString()) == publish::TargetKind::Git;
    } catch (const CommandError&) {
        // No target address yet.
    }
    branch_->setEnabled(git && !Running());
    repository_folder_->setEnabled(git && !Running());
    // A git branch always holds exactly the site: what is gone goes.
    delete_gone_->setEnabled(!git && !Running());
}

void PublishDialog::Start(bool dry_run, bool force) {
    if (Running()) {
        return;
    }
    publish::Target target;
    if (!TakeTarget(target)) {
        return;
    }
    if (publish::KindOfUrl(target.url) == publish::TargetKind::Ftp &&
        AppPrompts().Ask(this, Q(publish::ClearTextWarning()) + "\n\nPublish over ftp:// anyway?",
                         false) != Prompts::Answer::Yes) {
        return;
    }
    publish::PublishOptions options;
    options.dry_run = dry_run;
    options.pictures = ImagePictureWork();
    options.delete_gone = delete_gone_->isChecked();
    options.leave_out_unused = leave_unused_->isChecked();
    options.force = force;
    if (!TakePassword(target, options.password)) {
        return;
    }

    run_ = std::make_unique<Run>(this);
    Run* run = run_.get();
    run->dry_run = dry_run;
    run->target_name = target.name;
    run->target_url = target.url;
    plan_->clear();
    SetRunning(true);
    if (dry_run) {
        status_->setText("Listing " + Q(target.url) + "...");
    } else {
        status_->setText("Publishing to " + Q(target.url) + "...");
        progress_ = new QProgressDialog(this);
        progress_->setObjectName("PublishProgress");
        progress_->setWindowTitle("Publishing " + Q(target.name));
        progress_->setLabelText("Listing " + Q(target.url) + "...");
        progress_->setCancelButtonText("Cancel");
        progress_->setRange(0, 1000);
        progress_->setValue(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setMinimumDuration(0);
        progress_->setMinimumWidth(420);
        progress_->setWindowModality(Qt::WindowModal);
        connect(progress_, &QProgressDialog::canceled, this, [this] {
            if (run_ != nullptr) {
                run_->cancel = true;
                progress_->setLabelText("Cancelling...");
            }
        });
        progress_->show();
    }

    const std::string folder = folder_.toStdString();
    run->thread.reset(QThread::create([this, run, folder, target, options] {
        publish::PublishEvents events;
        events.questions.warning = [](const std::string&) {
            // Plain FTP was asked about before the start.
        };
        events.questions.accept_host_key = [this, run](const std::string& host,
                                                       const std::string& type,
                                                       const std::string& fingerprint) {
            const QString text = "The host key of " + Q(host) + " is not known yet:\n  " + Q(type) +
                                 " " + Q(fingerprint) +
                                 "\n\nIs this the server's key? Pin it for this target?";
            return run->Ask([this, text] {
                return AppPrompts().Ask(this, text, false) == Prompts::Answer::Yes;
            });
        };
        events.questions.accept_certificate = [this, run](const std::string& host,
                                                          const std::string& fingerprint,
                                                          const std::string& reason) {
            const QString text = "The certificate of " + Q(host) + " could not be verified (" +
                                 Q(reason) + "). Its fingerprint is\n  " + Q(fingerprint) +
                                 "\n\nIs this the server's certificate? Accept it for this "
                                 "host from now on?";
            return run->Ask([this, text] {
                return AppPrompts().Ask(this, text, false) == Prompts::Answer::Yes;
            });
        };
        events.confirm_removals = [this, run](const std::vector<publish::PlanItem>& removals) {
            const QString text =
                QString("Delete %1 on the server? They were published from this project and "
                        "are gone from it:")
                    .arg(removals.size() == 1 ? QString("this file")
                                              : QString("these %1 files").arg(removals.size())) +
                ListOf(removals);
            return run->Ask([this, text] {
                return AppPrompts().Ask(this, text, false) == Prompts::Answer::Yes;
            });
        };
        events.confirm_replace = [this, run](const std::string& question) {
            const QString text = Q(question);
            return run->Ask([this, text] {
                return AppPrompts().Ask(this, text, false) == Prompts::Answer::Yes;
            });
        };
        events.progress = [run](const publish::Progress& progress) {
            run->Post(&progress, nullptr);
            return !run->cancel;
        };
        events.done = [run](const publish::PlanItem& item) { run->Post(nullptr, &item); };
        try {
            run->report = publish::Publish(folder, target, options, events);
        } catch (const publish::BranchMovedError& error) {
            run->error = error.what();
            run->branch_moved = true;
        } catch (const std::exception& error) {
            run->error = error.what();
        }
        QMetaObject::invokeMethod(
            this, [this] { Ended(); }, Qt::QueuedConnection);
    }));
    run->thread->start();
}

void PublishDialog::ShowProgress() {
    if (run_ == nullptr) {
        return;
    }
    std::vector<publish::PlanItem> done;
    const publish::Progress progress = run_->Take(done);
    for (const publish::PlanItem& item : done) {
        AddLine(ActionText(item.action, false), Q(item.path), item.size);
    }
    if (progress_ == nullptr || run_->cancel) {
        return;
    }
    const double share =
        progress.bytes_total > 0
            ? double(progress.bytes_done) / double(progress.bytes_total)
            : (progress.files_total > 0 ? double(progress.files_done) / progress.files_total : 0);
    const QString file = progress.path.empty() ? QString("Done") : Q(progress.path);
    progress_->setLabelText(QString("%1\n%2 of %3 files, %4 of %5 bytes")
                                .arg(file)
                                .arg(progress.files_done)
                                .arg(progress.files_total)
                                .arg(progress.bytes_done)
                                .arg(progress.bytes_total));
    // Last: a modal progress dialog handles events here, and the end of the
    // run may come among them and take the progress dialog away.
    progress_->setValue(int(share * 1000));
}

void PublishDialog::Ended() {
    if (run_ == nullptr) {
        return;
    }
    run_->thread->wait();
    ShowProgress();
    std::unique_ptr<Run> run = std::move(run_);
    if (progress_ != nullptr) {
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    SetRunning(false);
    const bool done = run->report.has_value();
    if (done) {
        const publish::Plan& plan = run->report->plan;
        if (run->dry_run) {
            for (const publish::PlanItem& item : plan.send) {
                AddLine(ActionText(item.action, true), Q(item.path), item.size);
            }
            for (const publish::PlanItem& item : plan.remove) {
                AddLine(ActionText(item.action, true), Q(item.path), item.size);
            }
        }
        for (const publish::PlanItem& item : plan.keep) {
            AddLine(ActionText(publish::Action::Keep, run->dry_run), Q(item.path), item.size);
        }
        QString text = Q(publish::DescribeReport(run->target_name, *run->report, run->dry_run));
        if (!plan.keep.empty()) {
            text += QString(" %1 gone from the project kept on the server (tick Delete to "
                            "delete them).")
                        .arg(plan.keep.size());
        }
        for (const std::string& skipped : plan.skipped) {
            text += "\nNot published: " + Q(skipped);
        }
        for (const std::string& warning : plan.warnings) {
            text += "\nWarning: " + Q(warning);
        }
        for (const std::string& note : plan.notes) {
            text += "\nNote: " + Q(note);
        }
        status_->setText(text);
    } else {
        status_->setText("Not published: " + Q(run->error));
        if (run->cancel) {
            AppPrompts().Inform(this, Q(run->error));
        } else if (run->branch_moved) {
            // The one way to replace what others pushed: confirmed here.
            const QString text = Q(run->error) + "\n\nReplace what they pushed to " +
                                 Q(run->target_url) +
                                 " with this site? Their commits stay in the branch's history.";
            if (AppPrompts().Ask(this, text, false) == Prompts::Answer::Yes) {
                QMetaObject::invokeMethod(
                    this, [this] { Start(false, true); }, Qt::QueuedConnection);
            }
        } else {
            AppPrompts().ShowError(this, Q(run->error));
        }
    }
    Q_EMIT Finished(done);
    if (close_when_done_) {
        close_when_done_ = false;
        QDialog::reject();
    }
}

void PublishDialog::SetRunning(bool running) {
    for (QWidget* field : std::initializer_list<QWidget*>{
             name_, url_, user_, key_, browse_key_, branch_, repository_folder_, remember_,
             delete_gone_, leave_unused_, dry_run_, publish_}) {
        field->setEnabled(!running);
    }
    if (!running) {
        ShowGitFields();
    }
}

void PublishDialog::AddLine(const QString& action, const QString& path, qint64 size) {
    auto* item = new QTreeWidgetItem(plan_, {action, path, Q(publish::SizeText(size))});
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    plan_->scrollToItem(item);
}

} // namespace qf
