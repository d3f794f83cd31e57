#include "core/AppState.h"

#include <QDir>

void PersonSlot::clear() {
    *this = PersonSlot{};
}

void AppState::clearSlotsForMasters() {
    for (int i = 0; i < 6; ++i) {
        PersonSlot& slot = selectedPersons[static_cast<std::size_t>(i)];
        slot.affiliation.clear();
        slot.name.clear();
        slot.term = 0;
        slot.birthYear = 0;
        slot.birthMonth = 0;
        slot.birthDay = 0;
        slot.bloodType = QStringLiteral("0");
    }
    chartSlot = 0;
}

QString normalisedAppPath(const QString& directory) {
    QString path = QDir::fromNativeSeparators(directory);
    if (path.isEmpty())
        return QStringLiteral("./");
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
