#include "shell/AtomicFile.h"

#include "shell/ErrorLog.h"
#include "shell/Seams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// mkstemp's and QSaveFile's temporary files: the target's name, a dot and six random letters
// or digits.
const QString kTempSuffix = QStringLiteral(".XXXXXX");
constexpr mode_t kNewFileMode = 0666; // before the umask, as any new file
constexpr mode_t kPrivateMode = 0600; // until the replaced file's own mode is set
constexpr mode_t kPermissionBits = 07777;

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now, because a network file system may report a failed write only here.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

AppError failure(int errnoValue, const QString& path)
{
    AppError error = AppError::fromErrno(errnoValue);
    error.description += QStringLiteral(": ") + QDir::toNativeSeparators(path);
    return error;
}

// The mode of the file replaced, which the new one keeps; none for a new file, which gets what
// any new file gets: the system applies the umask (and the folder's default ACL) as it creates
// the temporary file. The umask is never set to read it, since a file another thread created
// meanwhile would get no mask at all.
std::optional<mode_t> keptMode(const QByteArray& target)
{
    struct stat old {};
    if (::stat(target.constData(), &old) != 0)
        return std::nullopt;
    return old.st_mode & kPermissionBits;
}

// All bytes, or false with errno set. A write that takes nothing counts as a full disk.
bool writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = Seams::current().writeFile(fd, bytes);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

// Bytes, mode and sync into the open temporary file, closing it: 0 or the errno of the step
// that failed.
int fillTemporary(FileDescriptor& temp, std::optional<mode_t> mode, const QByteArray& bytes)
{
    if ((mode && ::fchmod(temp.get(), *mode) != 0) || !writeAll(temp.get(), bytes) ||
        Seams::current().syncFile(temp.get()) != 0 || temp.close() != 0)
        return errno;
    return 0;
}

// The rename is only durable once the folder's entry is on the device as well.
void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot
    const int errnoValue = errno;
    ::close(fd);
    if (!synced) // the new file is in place, so the write itself stands
        modMain::WriteLogEntry(QStringLiteral("AtomicFile: write"), failure(errnoValue, folder));
}

// The file a symbolic link leads to is the one replaced, and the link stays.
QFileInfo resolvedTarget(const QString& path)
{
    constexpr int kMaxLinkDepth = 128;
    QFileInfo target(path);
    for (int depth = 0; depth < kMaxLinkDepth && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    return target.isSymLink() ? QFileInfo(path) : target;
}

// A file the user made read-only is not replaced behind their back.
bool isWritableOrAbsent(const QByteArray& target)
{
    return ::access(target.constData(), W_OK) == 0 || errno == ENOENT;
}

bool isRandomPart(QStringView text)
{
    const auto isUpperOrDigit = [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    };
    const auto isAlnum = [&](QChar c) { return isUpperOrDigit(c) || (c >= u'a' && c <= u'z'); };
    return text.size() == 6 && std::all_of(text.begin(), text.end(), isAlnum) &&
           std::any_of(text.begin(), text.end(), isUpperOrDigit);
}

// Six random letters or digits, at least one a digit or capital, as mkstemp makes them (but
// mkstemp creates its file 0600 whatever the umask).
QByteArray randomPart()
{
    static constexpr char kCharacters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int kChoices = sizeof kCharacters - 1;
    QByteArray part(kTempSuffix.size() - 1, '\0');
    do {
        for (char& c : part)
            c = kCharacters[QRandomGenerator::global()->bounded(kChoices)];
    } while (!isRandomPart(QString::fromLatin1(part)));
    return part;
}

// A temporary file beside the target, created with mode (before the umask) and locked for as
// long as its write lasts: the lock is how a later look at the folder tells a live write from
// one whose writer is gone. -1 with errno on failure.
int createLockedTemporary(QByteArray& tempName, const QByteArray& targetName, mode_t mode)
{
    for (;;) {
        tempName = targetName + '.' + randomPart();
        const int fd = ::open(tempName.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        struct stat info {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &info) != 0 || info.st_nlink > 0)
            return fd; // a file system without locks still gets its write
        // Taken for a leftover between its creation and the lock: a fresh one.
        ::close(fd);
    }
}

enum class Leftover { Removed, InUse, Gone };

// Removes a temporary file whose writer is gone: nothing holds its lock. One whose writer
// lives is left alone, whatever its age.
Leftover removeIfAbandoned(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const FileDescriptor file(
        ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return Leftover::Gone;
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? Leftover::InUse : Leftover::Gone;
    // Still the file that was locked, not one renamed into its place since.
    struct stat locked {};
    struct stat named {};
    if (::fstat(file.get(), &locked) != 0 || ::lstat(name.constData(), &named) != 0 ||
        locked.st_ino != named.st_ino || locked.st_dev != named.st_dev)
        return Leftover::Gone;
    return ::unlink(name.constData()) == 0 ? Leftover::Removed : Leftover::Gone;
}

// The temporary files among candidates whose writer is gone (a crash, a kill during a save).
// One whose writer is at work right now is kept, and logged.
void removeAbandoned(const QFileInfoList& candidates, qsizetype nameLength)
{
    for (const QFileInfo& leftover : candidates) {
        // mkstemp's six random characters; a word such as "backup" is a user's file, so at
        // least one digit or capital is required.
        const QString fileName = leftover.fileName();
        if (nameLength < 1 || fileName.size() != nameLength + 7 ||
            fileName.at(nameLength) != QLatin1Char('.') ||
            !isRandomPart(QStringView(fileName).sliced(nameLength + 1)))
            continue;
        const QString path = leftover.absoluteFilePath();
        if (removeIfAbandoned(path) == Leftover::InUse) {
            modMain::WriteLogEntry(
                QStringLiteral("AtomicFile: write"),
                QString::number(ErrorNumber::PathFileAccessError),
                QStringLiteral("Temporary file of a write in progress kept: %1").arg(path));
        }
    }
}

constexpr QDir::Filters kLeftoverFilter = QDir::Files | QDir::Hidden | QDir::NoSymLinks;
} // namespace

Result AtomicFile::write(const QString& path, const QByteArray& bytes)
{
    const QFileInfo target = resolvedTarget(path);
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    if (!isWritableOrAbsent(targetName))
        return failure(errno, path);
    const std::optional<mode_t> kept = keptMode(targetName);
    QByteArray tempName;
    FileDescriptor temp(
        createLockedTemporary(tempName, targetName, kept ? kPrivateMode : kNewFileMode));
    if (temp.get() < 0)
        return failure(errno, path);
    // The lock lives on in a second descriptor until the rename is done, while the first is
    // closed to hear of a failure that a network file system reports only then.
    const FileDescriptor lockHolder(::fcntl(temp.get(), F_DUPFD_CLOEXEC, 0));
    int errnoValue = lockHolder.get() < 0 ? errno : fillTemporary(temp, kept, bytes);
    if (errnoValue == 0 && ::rename(tempName.constData(), targetName.constData()) != 0)
        errnoValue = errno;
    if (errnoValue != 0) {
        ::unlink(tempName.constData());
        return failure(errnoValue, path);
    }
    syncFolder(target.absolutePath());
    removeLeftovers(target.absoluteFilePath());
    return {};
}

void AtomicFile::removeLeftovers(const QString& path)
{
    const QFileInfo target = resolvedTarget(path);
    const QString name = target.fileName();
    removeAbandoned(
        target.absoluteDir().entryInfoList({name + QStringLiteral(".??????")}, kLeftoverFilter),
        name.size());
}

void AtomicFile::removeLeftoversIn(const QString& folder)
{
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.??????")}, kLeftoverFilter);
    for (const QFileInfo& file : files)
        removeAbandoned({file}, file.fileName().size() - kTempSuffix.size());
}
