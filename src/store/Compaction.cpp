#include "store/Database.h"

#include "core/Errors.h"
#include "store/StoreInternal.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Flushes a file or directory to disk, so that a rename that follows cannot be seen before the
// data it names.
bool syncToDisk(const QString& path, bool directory) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

[[noreturn]] void raiseCompactionFailure(const QString& what) {
    store::raise(ErrorNumber::StoreFailure,
                 QStringLiteral("データベースを最適化できませんでした。 (%1)").arg(what));
}

void removeFile(const QString& path) {
    if (QFileInfo(path).isFile() || QFileInfo(path).isSymLink())
        QFile::remove(path);
}

} // namespace

void compactDatabase(const QString& path, const QString& compactPath) {
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString fresh = QFileInfo(compactPath).absoluteFilePath();
    if (!QFileInfo(target).isFile())
        store::raise(ErrorNumber::FileNotFound, QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
    if (target == fresh)
        raiseCompactionFailure(QStringLiteral("最適化先が元のファイルと同じです。"));

    // A copy left over from an earlier attempt is stale: VACUUM INTO refuses an existing file.
    if (QFileInfo::exists(fresh)) {
        if (!QFileInfo(fresh).isFile() || !QFile::remove(fresh))
            raiseCompactionFailure(QStringLiteral("'%1' を削除できません。").arg(compactPath));
    }

    try {
        {
            auto connection = store::openConnection(target);
            store::Statement vacuum(*connection, QStringLiteral("VACUUM INTO ?1"));
            vacuum.bind(1, fresh);
            vacuum.step();
        }
        QFile::setPermissions(fresh, QFile::permissions(target));
        const QString directory = QFileInfo(fresh).absolutePath();
        if (!syncToDisk(fresh, false) || !syncToDisk(directory, true))
            raiseCompactionFailure(QStringLiteral("'%1' をディスクに書き込めません。").arg(compactPath));
        if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(target).constData()) != 0)
            raiseCompactionFailure(QString::fromLocal8Bit(std::strerror(errno)));
        syncToDisk(QFileInfo(target).absolutePath(), true);
    } catch (...) {
        removeFile(fresh);
        throw;
    }
}
