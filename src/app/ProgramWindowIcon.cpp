#include "app/ProgramIcon.h"
#include "app/ProgramIconPixels.h"

#include <QIcon>
#include <QPixmap>

QIcon programWindowIcon() {
    QIcon icon;
    for (const IconPixels& built : builtWindowIcon) {
        // The pixels stay for the whole run, so the image may read them where they are.
        const QImage image(reinterpret_cast<const uchar*>(built.pixels), built.size, built.size,
                           built.size * int(sizeof(quint32)), QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
