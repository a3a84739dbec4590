#include "app/page_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace qf {

namespace {
constexpr int kSettleMs = 150;
}

PageWatcher::PageWatcher(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), settle_(new QTimer(this)) {
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, [this] {
        Rewatch();
        Q_EMIT Touched();
    });
    const auto touched = [this] { settle_->start(); };
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, touched);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, touched);
}

void PageWatcher::Watch(const QString& path) {
    if (path == path_) {
        Rewatch();
        return;
    }
    if (!watcher_->files().isEmpty()) {
        watcher_->removePaths(watcher_->files());
    }
    if (!watcher_->directories().isEmpty()) {
        watcher_->removePaths(watcher_->directories());
    }
    path_ = path;
    Rewatch();
}

void PageWatcher::Rewatch() {
    if (path_.isEmpty()) {
        return;
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (!watcher_->directories().contains(folder)) {
        watcher_->addPath(folder);
    }
    // A file replaced by a rename keeps the watch on the file that went:
    // watch whatever stands at the path now.
    if (watcher_->files().contains(path_)) {
        watcher_->removePath(path_);
    }
    if (QFileInfo::exists(path_)) {
        watcher_->addPath(path_);
    }
}

} // namespace qf
