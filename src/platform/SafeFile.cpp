#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor and removes the temporary file unless the replace got as far
// as the rename.
class TemporaryFile {
public:
    ~TemporaryFile() {
        closeFile();
        if (!name_.isEmpty())
            ::unlink(name_.constData());
    }

    // A new file of our own beside `target`, never one that was already there.
    bool create(const QByteArray& target, mode_t mode) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = target + ".tmp-" + QByteArray::number(::getpid()) + '-' +
                                    QByteArray::number(++counter) + '-' +
                                    QByteArray::number(QRandomGenerator::global()->generate(), 16);
            fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ >= 0) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    int fd() const { return fd_; }
    const QByteArray& name() const { return name_; }

    // NFS and some other file systems report a failed write only here.
    bool closeFile() {
        if (fd_ < 0)
            return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

    // The file has become the target: nothing left to remove.
    void release() { name_.clear(); }

private:
    int fd_ = -1;
    QByteArray name_;
};

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        // A write that makes no progress is as good as a failure: the disk is full.
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// What the file holds now is exactly what was meant to be written: its size and
// every byte, read back through a descriptor of its own.
bool holdsExactly(const QByteArray& name, const QByteArray& bytes) {
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    bool same = ::fstat(fd, &status) == 0 && status.st_size == bytes.size();
    QByteArray back(bytes.size(), '\0');
    qint64 done = 0;
    while (same && done < bytes.size()) {
        const ssize_t got = ::read(fd, back.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            same = false;
        else
            done += got;
    }
    ::close(fd);
    return same && back == bytes;
}

// The rename is on disk only once the folder that holds the name is; without this a
// crash could bring back the old file, which is harmless, so failure is not reported.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Writes `bytes` to a new temporary file beside `target`, synced and read back
// whole; `setMode`: the file gets `mode` whatever the umask says.
bool writeWhole(TemporaryFile& temp, const QByteArray& target, mode_t mode, bool setMode,
                const QByteArray& bytes, QString* whyNot) {
    if (!temp.create(target, mode))
        return false;
    if (setMode && ::fchmod(temp.fd(), mode) != 0)
        return false;
    if (!writeAll(temp.fd(), bytes) || ::fsync(temp.fd()) != 0 || !temp.closeFile()) {
        // A write that made no progress leaves errno alone: the disk was full.
        if (errno == 0)
            errno = ENOSPC;
        return false;
    }
    if (!holdsExactly(temp.name(), bytes)) {
        *whyNot = QStringLiteral("The file did not read back as written");
        return false;
    }
    return true;
}

} // namespace

namespace {

bool replace(const QString& path, const QByteArray& bytes, QString* whyNot);
bool create(const QString& path, const QByteArray& bytes, QString* whyNot, bool* existed);

// The system's words for the last failure, unless a rule of our own already gave some.
void explain(QString* whyNot, int error) {
    if (whyNot && whyNot->isEmpty())
        *whyNot = QString::fromLocal8Bit(::strerror(error == 0 ? EIO : error));
}

} // namespace

bool SafeFile::replaceFileContents(const QString& path, const QByteArray& bytes, QString* whyNot) {
    QString reason;
    errno = 0;
    if (replace(path, bytes, &reason))
        return true;
    explain(&reason, errno);
    if (whyNot)
        *whyNot = reason;
    return false;
}

SafeFile::Created SafeFile::createFileContents(const QString& path, const QByteArray& bytes,
                                               QString* whyNot) {
    QString reason;
    bool existed = false;
    errno = 0;
    if (create(path, bytes, &reason, &existed))
        return Created::New;
    if (existed)
        return Created::Exists;
    explain(&reason, errno);
    if (whyNot)
        *whyNot = reason;
    return Created::Failed;
}

namespace {

bool create(const QString& path, const QByteArray& bytes, QString* whyNot, bool* existed) {
    if (path.isEmpty()) {
        *whyNot = QStringLiteral("No file name");
        return false;
    }
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    TemporaryFile temp;
    if (!writeWhole(temp, target, 0666, false, bytes, whyNot))
        return false;
    // A link, unlike a rename, never takes the place of a file that is there: one
    // made meanwhile by another process stays as it is.
    if (::link(temp.name().constData(), target.constData()) != 0) {
        *existed = errno == EEXIST;
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
    return true;
}

bool replace(const QString& path, const QByteArray& bytes, QString* whyNot) {
    if (path.isEmpty()) {
        *whyNot = QStringLiteral("No file name");
        return false;
    }
    QFileInfo info(path);
    // A link is followed, so the operator's link keeps pointing at the file it named.
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info = QFileInfo(info.symLinkTarget());
    if (info.isDir()) {
        *whyNot = QString::fromLocal8Bit(::strerror(EISDIR));
        return false;
    }
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());

    // The new file gets the old one's permission bits; a new one the usual 0666 less
    // the umask.
    mode_t mode = 0666;
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists)
        mode = old.st_mode & 07777;
    // A file the operator made read-only is not replaced behind its back, although
    // the rename alone would be allowed by its folder.
    if (exists && ::access(target.constData(), W_OK) != 0) {
        *whyNot = QStringLiteral("The file is read-only");
        return false;
    }

    TemporaryFile temp;
    if (!writeWhole(temp, target, mode, exists, bytes, whyNot))
        return false;
    if (::rename(temp.name().constData(), target.constData()) != 0)
        return false;
    temp.release();
    syncFolder(QFile::encodeName(info.absolutePath()));
    return true;
}

} // namespace
