// Writes the database file shipped with the program: korvane_makeseed <path>. The file is made
// beside the target and renamed over it when complete, so a failed run leaves no half file.

#include "core/Errors.h"
#include "store/SeedDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QTextStream err(stderr);
    if (arguments.size() != 2) {
        err << "usage: korvane_makeseed <path of Korvane.mdb>\n";
        return 2;
    }
    const QString target = QFileInfo(arguments.at(1)).absoluteFilePath();
    const QString partial = target + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(partial);
    try {
        seed::createDatabase(partial);
    } catch (const KorvaneError& error) {
        err << "korvane_makeseed: " << error.number() << ' ' << error.description() << '\n';
        return 1;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        err << "korvane_makeseed: cannot write " << target << '\n';
        QFile::remove(partial);
        return 1;
    }
    return 0;
}
