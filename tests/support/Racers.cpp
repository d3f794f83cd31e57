#include "support/Racers.h"

namespace testsupport {

const std::array<Racer, 9>& nineRacers() {
    static const std::array<Racer, 9> racers = {{
        {QStringLiteral("青森"), 4101, QStringLiteral("北村 一郎"), 85, QDate(1965, 4, 10),
         QStringLiteral("A")},
        {QStringLiteral("岩手"), 4102, QStringLiteral("南野 二郎"), 70, QDate(1970, 1, 31),
         QStringLiteral("B")},
        {QStringLiteral("宮城"), 4103, QStringLiteral("東山 三郎"), 66, QDate(1972, 2, 29),
         QStringLiteral("O")},
        {QStringLiteral("秋田"), 4104, QStringLiteral("西田 四郎"), 59, QDate(1968, 12, 8),
         QStringLiteral("AB")},
        {QStringLiteral("山形"), 4105, QStringLiteral("中川 五郎"), 77, QDate(1975, 6, 15),
         QStringLiteral("A")},
        {QStringLiteral("福島"), 4106, QStringLiteral("上野 六郎"), 81, QDate(1980, 9, 1),
         QStringLiteral("B")},
        {QStringLiteral("茨城"), 4107, QStringLiteral("下田 七郎"), 52, QDate(1962, 3, 3),
         QStringLiteral("O")},
        {QStringLiteral("栃木"), 4108, QStringLiteral("前原 八郎"), 79, QDate(1978, 11, 30),
         QStringLiteral("A")},
        {QStringLiteral("群馬"), 4109, QStringLiteral("後藤 九郎"), 88, QDate(1985, 7, 7),
         QStringLiteral("AB")},
    }};
    return racers;
}

PersonSlot slotOf(const Racer& racer) {
    PersonSlot p;
    p.affiliation = racer.affiliation.leftJustified(6);
    p.racerId = static_cast<qint16>(racer.id);
    p.name = racer.name.leftJustified(22);
    p.term = static_cast<qint16>(racer.term);
    p.birthYear = static_cast<qint16>(racer.birth.year());
    p.birthMonth = static_cast<qint16>(racer.birth.month());
    p.birthDay = static_cast<qint16>(racer.birth.day());
    p.bloodType = racer.bloodType;
    return p;
}

void fillRace(AppState& state, int count) {
    for (int k = 0; k < count; ++k)
        state.selectedPersons[static_cast<std::size_t>(k)] =
            slotOf(nineRacers()[static_cast<std::size_t>(k)]);
}

void fillAllSlots(AppState& state) {
    for (int i = 0; i < AppState::SlotCount; ++i) {
        PersonSlot& slot = state.selectedPersons[static_cast<std::size_t>(i)];
        slot.affiliation = QStringLiteral("東京    ");
        slot.racerId = static_cast<qint16>(1000 + i);
        slot.name = QStringLiteral("試験 太郎%1").arg(i);
        slot.term = static_cast<qint16>(50 + i);
        slot.birthYear = 1970;
        slot.birthMonth = 5;
        slot.birthDay = static_cast<qint16>(i + 1);
        slot.bloodType = QStringLiteral("A");
    }
    state.chartSlot = 6;
}

PersonSlot clearedSlot(qint16 racerId) {
    PersonSlot slot;
    slot.racerId = racerId;
    slot.bloodType = QStringLiteral("0");
    return slot;
}

QString slotText(const PersonSlot& slot) {
    return QStringLiteral("affiliation '%1', ID %2, name '%3', term %4, born %5-%6-%7, blood '%8'")
        .arg(slot.affiliation)
        .arg(slot.racerId)
        .arg(slot.name)
        .arg(slot.term)
        .arg(slot.birthYear)
        .arg(slot.birthMonth)
        .arg(slot.birthDay)
        .arg(slot.bloodType);
}

} // namespace testsupport
