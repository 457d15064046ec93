#pragma once

#include <QString>

// An exclusive advisory lock (flock) on a lock file, held from construction to
// destruction. The kernel drops it when the process dies, so a crashed writer
// never leaves the store locked.
class FileLock
{
public:
    // Creates the lock file (mode 0600) when missing and waits for the lock.
    explicit FileLock(const QString& lockFilePath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
