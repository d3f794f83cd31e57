#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

class Dialogs;
struct SurveyDate;

// The survey-date check: warns about an impossible month or day; never changes the date.
// Returns false when a warning was shown.
bool checkSurveyDate(const SurveyDate& date, Dialogs& dialogs);

// A survey-date picker's change: its text's number becomes that part of the date, then the date is
// checked. A text beyond 16 bits is no date part: the date keeps its value and nothing is checked.
void setSurveyDatePart(SurveyDate& date, qint16 SurveyDate::*part, const QString& text, Dialogs& dialogs);

// The null-safe field read: the value itself, or "" for a null text field and 0 for a null number.
QVariant nullSafe(const QVariant& value, bool textField);
