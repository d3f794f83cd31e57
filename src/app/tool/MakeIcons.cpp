// Writes the program's picture into an icon theme folder: <folder>/<n>x<n>/apps/<name>.png.
#include "app/ProgramIcon.h"

#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: korvane_makeicons <hicolor folder> <icon name>\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString path = apps + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(apps) || !programIcon(size).save(path)) {
            err << "cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
