#include "app/DataFolder.h"

#include "core/AppState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString DatabaseName = QStringLiteral("Korvane.mdb");
const QString HelpName = QStringLiteral("Korvane.hlp");

// Written under a name of its own and renamed into place, so that a copy cut short by a full disk
// never looks like a database.
bool copySeed(const QString& seed, const QString& target) {
    QFile source(seed);
    QSaveFile copy(target);
    if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = source.readAll();
    return source.error() == QFileDevice::NoError && copy.write(bytes) == bytes.size() && copy.commit();
}

} // namespace

DataFolders chooseDataFolders(const QString& programFolder, const QString& sharedFolder,
                              const QString& userDataFolder) {
    const QString program = normalisedAppPath(programFolder);
    const QString shared = normalisedAppPath(sharedFolder);
    DataFolders folders;
    folders.helpFolder = QFileInfo::exists(shared + HelpName) ? shared : program;

    const QFileInfo programDatabase(program + DatabaseName);
    if (programDatabase.isFile() && programDatabase.isWritable()) {
        folders.dataFolder = program;
        folders.helpFolder = program;
        return folders;
    }

    const QString user = normalisedAppPath(userDataFolder);
    folders.dataFolder = user;
    if (userDataFolder.isEmpty() || !QDir().mkpath(user) || !QFileInfo(user).isDir()) {
        folders.problem = QStringLiteral("データフォルダ '%1' を作成できません。").arg(user);
        return folders;
    }
    if (!QFileInfo(user).isWritable()) {
        folders.problem = QStringLiteral("データフォルダ '%1' に書き込めません。").arg(user);
        return folders;
    }
    const QString database = user + DatabaseName;
    if (QFileInfo::exists(database))
        return folders;
    // Without any seed the store says the database is missing, naming it, as for a portable copy.
    const QString seed =
        QFileInfo::exists(shared + DatabaseName) ? shared + DatabaseName : programDatabase.filePath();
    if (QFileInfo::exists(seed) && !copySeed(seed, database))
        folders.problem =
            QStringLiteral("データベース '%1' をデータフォルダ '%2' に複写できません。").arg(seed, user);
    return folders;
}

QString installedSharedFolder(const QString& programFolder) {
    return normalisedAppPath(
        QDir::cleanPath(programFolder + QStringLiteral("/" KORVANE_SHARED_FROM_PROGRAM)));
}
