#pragma once

#include <QString>

struct SurveyDate;

// Texts shared by the race table and its printout.

// "調査日：" and the date, each number in signed style: "調査日： 1999. 12. 8".
QString surveyDateCaption(const SurveyDate& date);

// The venue, "競輪  第", the race number and "レース": "青森競輪  第5レース".
QString raceCaption(const QString& venue, qint16 raceNo);
