#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace qf {

// Watches the open page's file and its folder for changes made by other
// programs. A burst of changes (a program writing a temporary file and
// renaming it over the page) gives one Touched, a moment after the last.
// A page replaced by a rename is watched again at its path.
class PageWatcher : public QObject {
    Q_OBJECT

public:
    explicit PageWatcher(QObject* parent = nullptr);

    // Watches the file at `path`; an empty path watches nothing.
    void Watch(const QString& path);
    const QString& path() const { return path_; }

Q_SIGNALS:
    void Touched();

private:
    void Rewatch();

    QFileSystemWatcher* watcher_;
    QTimer* settle_;
    QString path_;
};

} // namespace qf
