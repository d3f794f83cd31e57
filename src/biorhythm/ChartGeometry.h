#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <array>

struct PersonSlot;
struct SurveyDate;

// The arithmetic of the two chart windows: which day each column shows, where each glyph or
// marker stands, and how the detail chart steps the survey date. No widgets here.
namespace chart {

// The cycle lengths in the order the charts draw them: 身体, 感情, 知性.
constexpr std::array<int, 3> Cycles{23, 28, 33};

// The day `offset` days from `day`, still counted in the survey month (day 0 is the last day of the
// month before). Throws overflow (6) when it leaves the 16-bit range.
qint16 shiftedDay(qint16 day, int offset);

// The three cycle phases of a person on the survey day shifted by offset days.
struct DayPhases {
    std::array<double, 3> phase{};
};
DayPhases phasesOn(const SurveyDate& survey, int offset, const PersonSlot& person);

// sin of the cycle angle of a phase.
double cycleSine(double phase, int cycle);

// --- Nine-chart overview: 13 days, survey day - 6 .. survey day + 6 ---

constexpr int OverviewDays = 13;
constexpr int OverviewCentre = 6;

// Left of the glyphs of day column e (0..12).
int overviewX(int column);
// Top of a glyph for a sine: 1 for sin = 1, 51 for 0, 101 for -1.
int overviewY(double sine);

struct Glyph {
    int cycle = 0; // 23, 28 or 33
    QPoint topLeft;
    friend bool operator==(const Glyph&, const Glyph&) = default;
};

// The three glyphs of day column e for a person.
std::array<Glyph, 3> overviewGlyphs(const SurveyDate& survey, int column, const PersonSlot& person);

// --- Detail chart: 21 days, survey day - 10 .. survey day + 10 ---

constexpr int DetailDays = 21;
constexpr int DetailCentre = 10;

// Left of the markers of day index i (0..20).
double detailLeft(int index);
// Top of a marker for a sine: 16 for sin = 1, 159.75 for 0, 303.5 for -1.
double detailTop(double sine);
// x of grid line c (1..21): line c runs through the markers of day index c - 1.
double gridLineX(int line);

// The caution message of the detail chart for the survey day.
QString centreDayMessage(const SurveyDate& survey, const PersonSlot& person);

// --- Stepping the survey date (leap years are the years divisible by 4) ---

bool isLeapYear(qint16 year);
// Days of a month 1..12.
qint16 monthLength(qint16 year, qint16 month);

SurveyDate previousMonth(const SurveyDate& date);
SurveyDate previousDay(const SurveyDate& date);
SurveyDate nextDay(const SurveyDate& date);
SurveyDate nextMonth(const SurveyDate& date);

} // namespace chart
