// File-change notification that survives the file being replaced.
#include "PortFileWatcher.h"

#include <QFileInfo>

#include <sys/stat.h>

PortFileWatcher::PortFileWatcher(const QString& path, QObject* parent)
    : QObject(parent)
    , path_(QFileInfo(path).absoluteFilePath())
{
    watcher_.addPath(QFileInfo(path_).absolutePath());
    renewFileWatch();
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &PortFileWatcher::onFileChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &PortFileWatcher::onDirectoryChanged);
}

bool PortFileWatcher::watchingFile() const
{
    return watcher_.files().contains(path_);
}

void PortFileWatcher::onFileChanged()
{
    renewFileWatch();
    emit changed();
}

void PortFileWatcher::onDirectoryChanged()
{
    // Something in the directory changed; only a new file under our name
    // matters (the directory may be shared with many other files).
    const ino_t before = watchingFile() ? watchedInode_ : 0;
    renewFileWatch();
    if (watchedInode_ != before)
        emit changed();
}

void PortFileWatcher::renewFileWatch()
{
    const ino_t now = inodeOf(path_);
    if (watchingFile() && now == watchedInode_)
        return;
    if (watchingFile())
        watcher_.removePath(path_);
    watchedInode_ = 0;
    if (now != 0 && watcher_.addPath(path_))
        watchedInode_ = now;
}

ino_t PortFileWatcher::inodeOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_ino;
}
