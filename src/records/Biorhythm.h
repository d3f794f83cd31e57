#pragma once

#include <QString>
#include <QtGlobal>

// The one definition of the biorhythm arithmetic. Every window that shows, charts or prints a
// biorhythm goes through these routines and adds only its own display rule.
namespace bio {

constexpr int Physical = 23;     // 身体
constexpr int Emotional = 28;    // 感情
constexpr int Intellectual = 33; // 知性
constexpr double Pi = 3.141593;  // the constant the values have always been computed with

// The day number of a date on a 365.25-day year. The day is not range-checked: days outside the
// month continue the numbering. Throws overflow (6) when year - 1, month + 1 or month + 13
// leaves the 16-bit range.
double DayNumber(qint16 year, qint16 month, qint16 day);

// Phase of elapsed days E in a cycle of c days, always in 0..c-1 (E = -1 gives c - 1).
double CyclePhase(double elapsed, int cycle);

// The cycle angle in radians: phase * 360 / c * 3.141593 / 180, in that order.
double CycleAngle(double phase, int cycle);

// sin(angle) * c / 4 for the phase of E.
double EvaluationValue(double elapsed, int cycle);

// floor(sin(angle) * 10), with -1, 0 and 1 turned into 0 (0 means the cycle needs care).
qint32 MessageLevel(double phase, int cycle);

// The caution message for the three message levels of one day.
QString CautionMessage(qint32 physicalLevel, qint32 emotionalLevel, qint32 intellectualLevel);

// Elapsed days from a birth date to a target date (negative before the birth date).
double ElapsedDays(qint16 targetYear, qint16 targetMonth, qint16 targetDay, qint16 birthYear,
                   qint16 birthMonth, qint16 birthDay);

// The three evaluations of one person for one day, as the race table and history compute them.
struct Evaluations {
    double physical = 0;
    double emotional = 0;
    double intellectual = 0;
};
Evaluations EvaluateDay(double elapsed);

} // namespace bio
