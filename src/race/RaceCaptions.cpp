#include "race/RaceCaptions.h"

#include "core/AppState.h"
#include "core/Conversions.h"

QString surveyDateCaption(const SurveyDate& date) {
    return QStringLiteral("調査日：") + conv::signedStyle(date.year) + QLatin1Char('.') +
           conv::signedStyle(date.month) + QLatin1Char('.') + conv::signedStyle(date.day);
}

QString raceCaption(const QString& venue, qint16 raceNo) {
    return venue + QStringLiteral("競輪  第") + QString::number(raceNo) + QStringLiteral("レース");
}
