#include "records/Biorhythm.h"

#include "core/Errors.h"

#include <cmath>

namespace bio {

namespace {

// The 16-bit intermediate values of the day numbering overflow like the integers they are.
qint16 checked16(int value) {
    if (value < -32768 || value > 32767)
        raiseOverflow();
    return static_cast<qint16>(value);
}

} // namespace

double DayNumber(qint16 year, qint16 month, qint16 day) {
    if (month < 3) {
        const qint16 previousYear = checked16(year - 1);
        const qint16 shiftedMonth = checked16(month + 13);
        return std::floor(previousYear * 365.25) + std::floor(shiftedMonth * 30.6) + day - 122;
    }
    const qint16 shiftedMonth = checked16(month + 1);
    return std::floor(year * 365.25) + std::floor(shiftedMonth * 30.6) + day - 122;
}

double CyclePhase(double elapsed, int cycle) {
    return elapsed - cycle * std::floor(elapsed / cycle);
}

double CycleAngle(double phase, int cycle) {
    // The phase is a whole number of days held in a 32-bit integer, so phase * 360 is an integer product.
    const qint64 degrees = static_cast<qint64>(phase) * 360;
    if (degrees > 2147483647LL || degrees < -2147483648LL)
        raiseOverflow();
    return static_cast<double>(degrees) / cycle * Pi / 180;
}

double EvaluationValue(double elapsed, int cycle) {
    return std::sin(CycleAngle(CyclePhase(elapsed, cycle), cycle)) * cycle / 4;
}

qint32 MessageLevel(double phase, int cycle) {
    const double level = std::floor(std::sin(CycleAngle(phase, cycle)) * 10);
    const auto value = static_cast<qint32>(level);
    return (value >= -1 && value <= 1) ? 0 : value;
}

QString CautionMessage(qint32 physicalLevel, qint32 emotionalLevel, qint32 intellectualLevel) {
    const bool b = physicalLevel == 0;
    const bool s = emotionalLevel == 0;
    const bool i = intellectualLevel == 0;
    if (b && s && i)
        return QStringLiteral("※今日は、全てが要注意、最悪の日です。");
    if (b && s)
        return QStringLiteral("※今日は、身体と感情が要注意です。");
    if (b && i)
        return QStringLiteral("※今日は、身体と知性が要注意です。");
    if (s && i)
        return QStringLiteral("※今日は、感情と知性が要注意です。");
    if (b)
        return QStringLiteral("※今日は、身体が要注意です。");
    if (s)
        return QStringLiteral("※今日は、感情が要注意です。");
    if (i)
        return QStringLiteral("※今日は、知性が要注意です。");
    return QStringLiteral("※今日は、特に問題はありません。");
}

double ElapsedDays(qint16 targetYear, qint16 targetMonth, qint16 targetDay, qint16 birthYear,
                   qint16 birthMonth, qint16 birthDay) {
    return DayNumber(targetYear, targetMonth, targetDay) - DayNumber(birthYear, birthMonth, birthDay);
}

Evaluations EvaluateDay(double elapsed) {
    return {EvaluationValue(elapsed, Physical), EvaluationValue(elapsed, Emotional),
            EvaluationValue(elapsed, Intellectual)};
}

} // namespace bio
