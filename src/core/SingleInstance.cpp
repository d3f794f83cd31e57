#include "core/SingleInstance.h"

#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(int fd, const QByteArray& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

SingleInstance::SingleInstance(const QString& lockPath)
    : m_path(lockPath) {}

SingleInstance::~SingleInstance() {
    // The file stays: removing it could let a starting copy lock a file that is about to vanish
    // while a third copy creates a new one. Closing lets go of the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

SingleInstance::Outcome SingleInstance::fail(const QString& message) {
    m_failure = message;
    return Outcome::Failed;
}

bool SingleInstance::prepareFolder() {
    const QString folder = QFileInfo(m_path).absolutePath();
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        m_failure = QStringLiteral("多重起動を確かめるロックファイルのフォルダ '%1' を作成できません。 %2")
                        .arg(folder, systemErrorText(errno));
        return false;
    }
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        m_failure =
            QStringLiteral("多重起動を確かめるロックファイルのフォルダ '%1' を使用できません。").arg(folder);
        return false;
    }
    // A folder that someone else made could hold a lock file of theirs that this user can neither
    // lock nor remove.
    if (info.st_uid != ::geteuid()) {
        m_failure =
            QStringLiteral("多重起動を確かめるロックファイルのフォルダ '%1' は他のユーザーのものです。")
                .arg(folder);
        return false;
    }
    return true;
}

SingleInstance::Outcome SingleInstance::tryAcquire() {
    if (m_fd >= 0)
        return Outcome::Acquired;
    m_failure.clear();
    if (!prepareFolder())
        return Outcome::Failed;
    const QByteArray path = QFile::encodeName(m_path);
    // A few rounds, in case another copy replaces a broken lock file between open and lock.
    for (int round = 0; round < 5; ++round) {
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && (errno == EACCES || errno == ELOOP || errno == EISDIR)) {
            // Not a lock file any live copy could hold: an unreadable file or a link in our own folder.
            ::unlink(path.constData());
            fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        }
        if (fd < 0)
            return fail(QStringLiteral("多重起動を確かめるロックファイル '%1' を開けません。 %2")
                            .arg(m_path, systemErrorText(errno)));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Outcome::Running;
            return fail(QStringLiteral("多重起動を確かめるロックファイル '%1' をロックできません。 %2")
                            .arg(m_path, systemErrorText(error)));
        }
        if (!sameFile(fd, path)) {
            ::close(fd);
            continue;
        }
        // The owner's process, program and host, as the lock files of Qt name them.
        const QByteArray owner =
            QByteArray::number(::getpid()) + "\nkorvane\n" + QSysInfo::machineHostName().toUtf8() + '\n';
        // The lock holds without this note, which only helps a person looking at the file.
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written =
                ::pwrite(fd, owner.constData(), static_cast<size_t>(owner.size()), 0);
        }
        m_fd = fd;
        return Outcome::Acquired;
    }
    return fail(QStringLiteral("多重起動を確かめるロックファイル '%1' をロックできません。").arg(m_path));
}

QString SingleInstance::defaultLockPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        struct stat info {};
        if (::stat(QFile::encodeName(runtime).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
            info.st_uid == ::geteuid())
            return runtime + QStringLiteral("/korvane.lock");
    }
    // The temporary directory is shared by all users: each user's lock lives in a folder of its own,
    // named by the user's number, which needs no USER or passwd entry. Made here private to the
    // user; whether it is really this user's is checked when the lock is taken.
    const QString folder = QDir::tempPath() + QStringLiteral("/korvane-") + QString::number(::geteuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return folder + QStringLiteral("/korvane.lock");
}
