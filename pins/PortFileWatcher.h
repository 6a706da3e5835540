// Tells when a file's content may have changed, through the kernel's change
// notification rather than by polling.
//
// Writers do not all write in place: an editor or a script may write a new
// file and rename it over the old one, or delete and recreate it. A watch on
// the file alone would then keep following the old, unlinked file, so the
// file's directory is watched too and the file's watch is renewed whenever
// the name points at a different file.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <sys/types.h>

class PortFileWatcher : public QObject {
    Q_OBJECT

public:
    explicit PortFileWatcher(const QString& path, QObject* parent = nullptr);

    QString path() const { return path_; }
    // Whether the file itself (not only its directory) is being watched.
    bool watchingFile() const;

signals:
    void changed();

private:
    void onFileChanged();
    void onDirectoryChanged();
    void renewFileWatch();
    static ino_t inodeOf(const QString& path);

    QString path_;
    QFileSystemWatcher watcher_;
    ino_t watchedInode_ = 0;
};
