#include "store/Database.h"

#include "core/Errors.h"
#include "store/StoreInternal.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void raiseFileError(int error, const QString& text) {
    const int number = error == ENOSPC                                         ? ErrorNumber::DiskFull
                       : (error == EACCES || error == EPERM || error == EROFS) ? ErrorNumber::ReadOnly
                                                                               : ErrorNumber::StoreFailure;
    store::raise(number, text + QLatin1Char(' ') + systemErrorText(error));
}

bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Flushes a folder, so that a rename in it is on disk once this returns.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString journalMode(store::Connection& connection) {
    store::Statement mode(connection, QStringLiteral("PRAGMA journal_mode"));
    mode.step();
    return mode.value(0).toString().toLower();
}

// A file in WAL mode (set by another tool) is checkpointed and returned to the rollback journal,
// which removes its log. False when another process still has it open in WAL mode: the log is
// live, and a copy renamed over the file would have the log applied to it.
bool leaveWalMode(store::Connection& connection) {
    if (journalMode(connection) != QLatin1String("wal"))
        return true;
    try {
        connection.execute(QStringLiteral("PRAGMA journal_mode = DELETE"));
    } catch (const KorvaneError& error) {
        if (error.number() == ErrorNumber::ExclusiveUse)
            return false;
        throw;
    }
    return journalMode(connection) != QLatin1String("wal");
}

// The new copy while it is being made: a file this run created itself, removed again unless it
// took the database's place.
class FreshCopy {
public:
    explicit FreshCopy(QString path)
        : m_path(std::move(path))
        , m_name(QFile::encodeName(m_path)) {}
    ~FreshCopy() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_placed)
            removeIfOurs();
    }
    FreshCopy(const FreshCopy&) = delete;
    FreshCopy& operator=(const FreshCopy&) = delete;

    // A copy left by an earlier run is removed by its own name: a link is removed, never followed.
    void removeLeftover() {
        struct stat left {};
        if (::lstat(m_name.constData(), &left) != 0)
            return;
        if (S_ISDIR(left.st_mode) || ::unlink(m_name.constData()) != 0)
            store::raise(ErrorNumber::StoreFailure,
                         QStringLiteral("前回の最適化で残ったファイル '%1' を削除できません。").arg(m_path));
    }

    // Made new, empty and private; a link or anything else already there makes it fail.
    void create() {
        m_fd = ::open(m_name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0)
            raiseFileError(errno,
                           QStringLiteral("最適化したデータベース '%1' を作成できません。").arg(m_path));
        m_created = true;
        ::fstat(m_fd, &m_made);
    }

    // Still the file this run made, not something put in its place.
    void verify() const {
        struct stat now {};
        if (::lstat(m_name.constData(), &now) != 0 || !S_ISREG(now.st_mode) || !sameInode(now, m_made))
            store::raise(ErrorNumber::StoreFailure,
                         QStringLiteral("最適化したデータベース '%1' が他のファイルに置き換えられました。")
                             .arg(m_path));
    }

    // Gives the copy the database's group and mode (the owner is this user already: files of others
    // are skipped). False when the group cannot be kept, which leaves the database as it is.
    bool takeOver(const struct stat& original) {
        if (original.st_gid != m_made.st_gid &&
            ::fchown(m_fd, static_cast<uid_t>(-1), original.st_gid) != 0) {
            if (errno == EPERM)
                return false;
            raiseFileError(errno, QStringLiteral("'%1' のグループを設定できません。").arg(m_path));
        }
        if (::fchmod(m_fd, original.st_mode & 07777) != 0)
            raiseFileError(errno, QStringLiteral("'%1' のアクセス権を設定できません。").arg(m_path));
        if (::fsync(m_fd) != 0)
            raiseFileError(
                errno,
                QStringLiteral("最適化したデータベース '%1' をディスクに書き込めません。").arg(m_path));
        return true;
    }

    void placeOver(const QString& target) {
        verify();
        if (::rename(m_name.constData(), QFile::encodeName(target).constData()) != 0)
            raiseFileError(
                errno, QStringLiteral("最適化したデータベースを '%1' に置き換えられません。").arg(target));
        m_placed = true;
    }

    const QString& path() const { return m_path; }

private:
    void removeIfOurs() {
        struct stat now {};
        if (::lstat(m_name.constData(), &now) == 0 && sameInode(now, m_made))
            ::unlink(m_name.constData());
    }

    QString m_path;
    QByteArray m_name;
    int m_fd = -1;
    struct stat m_made {};
    bool m_created = false;
    bool m_placed = false;
};

} // namespace

CompactionResult compactDatabase(const QString& path, const QString& compactPath) {
    const QByteArray pathName = QFile::encodeName(path);
    struct stat entry {};
    if (::lstat(pathName.constData(), &entry) != 0)
        store::raise(ErrorNumber::FileNotFound, QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
    // A database reached through a link keeps its link: the file it names is the one replaced, and
    // its new copy is made beside it so that the rename stays within one folder.
    const bool linked = S_ISLNK(entry.st_mode);
    const QString target = linked ? QFileInfo(path).canonicalFilePath() : QFileInfo(path).absoluteFilePath();
    if (target.isEmpty())
        store::raise(ErrorNumber::FileNotFound, QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
    struct stat original {};
    if (::stat(QFile::encodeName(target).constData(), &original) != 0)
        store::raise(ErrorNumber::FileNotFound, QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
    if (!S_ISREG(original.st_mode))
        store::raise(ErrorNumber::NotADatabase,
                     QStringLiteral("'%1' はデータベースファイルではありません。").arg(path));
    // Another user's file, or one this user may not write, is left as it is, as one in use would be:
    // its replacement would belong to this user or could not be made.
    if (original.st_uid != ::geteuid() || ::access(QFile::encodeName(target).constData(), W_OK) != 0)
        return CompactionResult::Skipped;
    // So is one in a folder this user may not write (a portable copy on a read-only medium): the
    // copy could not be made beside it, and the user has been told already at the first write.
    const QString folder = QFileInfo(target).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return CompactionResult::Skipped;

    const QString fresh =
        linked ? QFileInfo(target).absolutePath() + QLatin1Char('/') + QFileInfo(compactPath).fileName()
               : QFileInfo(compactPath).absoluteFilePath();
    if (fresh == target)
        store::raise(ErrorNumber::StoreFailure,
                     QStringLiteral("最適化先 '%1' が元のデータベースと同じです。").arg(compactPath));

    // The write lock keeps every other process from changing the file from before the copy is made
    // until the copy has taken its place; readers may go on. A process that is writing already
    // makes this fail with 3356 and the file stays as it was.
    auto lock = store::openConnection(target);
    // A file of another version is one the windows refused: it stays exactly as it was.
    if (store::schemaVersion(*lock) != store::currentSchemaVersion() || !leaveWalMode(*lock)) {
        lock->close();
        return CompactionResult::Skipped;
    }
    lock->execute(QStringLiteral("BEGIN IMMEDIATE"));
    // Another process may have put the file back in WAL mode before the lock: its log would apply
    // to the copy once renamed, so the file stays as it is.
    if (journalMode(*lock) == QLatin1String("wal") || QFileInfo::exists(target + QStringLiteral("-wal"))) {
        lock->execute(QStringLiteral("ROLLBACK"));
        lock->close();
        return CompactionResult::Skipped;
    }
    const auto release = [&lock] {
        try {
            lock->execute(QStringLiteral("ROLLBACK"));
        } catch (const KorvaneError&) {
            // Closing the connection ends the transaction all the same.
        }
        lock->close();
    };
    CompactionResult result = CompactionResult::Compacted;
    try {
        FreshCopy copy(fresh);
        copy.removeLeftover();
        copy.create();
        {
            auto reader = store::openConnection(target);
            store::Statement vacuum(*reader, QStringLiteral("VACUUM INTO ?1"));
            vacuum.bind(1, fresh);
            try {
                vacuum.step();
            } catch (const KorvaneError& error) {
                // The engine names the database it read from; what the full disk stopped is the copy.
                if (error.number() == ErrorNumber::DiskFull)
                    store::raise(
                        ErrorNumber::DiskFull,
                        QStringLiteral("ディスクの空き容量が足りないため、最適化したデータベース '%1' "
                                       "を書き込めません。")
                            .arg(fresh));
                store::raise(ErrorNumber::StoreFailure,
                             QStringLiteral("最適化したデータベース '%1' を書き込めません。 (%2)")
                                 .arg(fresh, error.description()));
            }
        }
        if (copy.takeOver(original)) {
            copy.placeOver(target);
            syncFolder(QFileInfo(target).absolutePath());
        } else {
            result = CompactionResult::Skipped;
        }
    } catch (...) {
        release();
        throw;
    }
    release();
    return result;
}
