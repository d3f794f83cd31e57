#pragma once

#include <QString>
#include <QVariant>

class Dialogs;
struct SurveyDate;

// The survey-date check: warns about an impossible month or day; never changes the date.
// Returns false when a warning was shown.
bool checkSurveyDate(const SurveyDate& date, Dialogs& dialogs);

// The null-safe field read: the value itself, or "" for a null text field and 0 for a null number.
QVariant nullSafe(const QVariant& value, bool textField);
