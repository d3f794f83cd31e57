#include "biorhythm/ChartGeometry.h"

#include "core/AppState.h"
#include "core/Conversions.h"
#include "records/Biorhythm.h"

#include <algorithm>
#include <cmath>

namespace chart {

qint16 shiftedDay(qint16 day, int offset) {
    return conv::toInt16(static_cast<double>(day) + offset);
}

DayPhases phasesOn(const SurveyDate& survey, int offset, const PersonSlot& person) {
    const double elapsed = bio::ElapsedDays(survey.year, survey.month, shiftedDay(survey.day, offset),
                                            person.birthYear, person.birthMonth, person.birthDay);
    DayPhases result;
    for (std::size_t k = 0; k < Cycles.size(); ++k)
        result.phase[k] = bio::CyclePhase(elapsed, Cycles[k]);
    return result;
}

double cycleSine(double phase, int cycle) {
    return std::sin(bio::CycleAngle(phase, cycle));
}

int overviewX(int column) {
    return static_cast<int>(conv::roundHalfEven(((column + 1) * 200 - 80) / 15.0));
}

int overviewY(double sine) {
    const double twips = conv::roundHalfEven((1 - sine) * 750 + 100 - 80);
    return static_cast<int>(conv::roundHalfEven(twips / 15));
}

std::array<Glyph, 3> overviewGlyphs(const SurveyDate& survey, int column, const PersonSlot& person) {
    const DayPhases phases = phasesOn(survey, column - OverviewCentre, person);
    const int x = overviewX(column);
    std::array<Glyph, 3> glyphs;
    for (std::size_t k = 0; k < Cycles.size(); ++k)
        glyphs[k] = Glyph{Cycles[k], QPoint(x, overviewY(cycleSine(phases.phase[k], Cycles[k])))};
    return glyphs;
}

double detailLeft(int index) {
    return ((index + 1) * 380 - 120) / 16.0 + 15;
}

double detailTop(double sine) {
    return ((1 - sine) * 2300 + 80) / 16 + 11;
}

double gridLineX(int line) {
    return ((line + 1) * 380 - 120) / 16.0 + 2.5;
}

QString centreDayMessage(const SurveyDate& survey, const PersonSlot& person) {
    const DayPhases phases = phasesOn(survey, 0, person);
    return bio::CautionMessage(bio::MessageLevel(phases.phase[0], Cycles[0]),
                               bio::MessageLevel(phases.phase[1], Cycles[1]),
                               bio::MessageLevel(phases.phase[2], Cycles[2]));
}

bool isLeapYear(qint16 year) {
    return year % 4 == 0;
}

qint16 monthLength(qint16 year, qint16 month) {
    switch (month) {
    case 2:
        return isLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

namespace {

bool isCalendarMonth(qint16 month) {
    return month >= 1 && month <= 12;
}

qint16 plus(qint16 value, int delta) {
    return conv::toInt16(static_cast<double>(value) + delta);
}

} // namespace

SurveyDate previousMonth(const SurveyDate& date) {
    SurveyDate result = date;
    if (!isCalendarMonth(date.month)) {
        result.month = plus(date.month, -1);
        return result;
    }
    if (date.month == 1) {
        result.year = plus(date.year, -1);
        result.month = 12;
    } else {
        result.month = static_cast<qint16>(date.month - 1);
    }
    result.day = std::min(date.day, monthLength(result.year, result.month));
    return result;
}

SurveyDate nextMonth(const SurveyDate& date) {
    SurveyDate result = date;
    if (!isCalendarMonth(date.month)) {
        result.month = plus(date.month, 1);
        return result;
    }
    if (date.month == 12) {
        result.year = plus(date.year, 1);
        result.month = 1;
    } else {
        result.month = static_cast<qint16>(date.month + 1);
    }
    result.day = std::min(date.day, monthLength(result.year, result.month));
    return result;
}

SurveyDate previousDay(const SurveyDate& date) {
    SurveyDate result = date;
    result.day = plus(date.day, -1);
    if (!isCalendarMonth(date.month) || result.day >= 1)
        return result;
    if (date.month == 1) {
        result.year = plus(date.year, -1);
        result.month = 12;
    } else {
        result.month = static_cast<qint16>(date.month - 1);
    }
    result.day = monthLength(result.year, result.month);
    return result;
}

SurveyDate nextDay(const SurveyDate& date) {
    SurveyDate result = date;
    result.day = plus(date.day, 1);
    if (!isCalendarMonth(date.month) || result.day <= monthLength(date.year, date.month))
        return result;
    if (date.month == 12) {
        result.year = plus(date.year, 1);
        result.month = 1;
    } else {
        result.month = static_cast<qint16>(date.month + 1);
    }
    result.day = 1;
    return result;
}

} // namespace chart
