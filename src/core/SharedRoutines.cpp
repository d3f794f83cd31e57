#include "core/SharedRoutines.h"

#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"

bool checkSurveyDate(const SurveyDate& date, Dialogs& dialogs) {
    const int month = date.month;
    const int day = date.day;
    if (month < 0 || month > 12) {
        dialogs.message(QStringLiteral("月が正しくありません"));
        return false;
    }
    bool dayWrong = false;
    if (month == 2 && day > 28)
        dayWrong = (date.year % 4 == 0) ? day > 29 : true;
    else if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30)
        dayWrong = true;
    if (dayWrong) {
        dialogs.message(QStringLiteral("日が正しくありません"));
        return false;
    }
    return true;
}

QVariant nullSafe(const QVariant& value, bool textField) {
    if (!value.isNull())
        return value;
    return textField ? QVariant(QString()) : QVariant(0);
}

void setSurveyDatePart(SurveyDate& date, qint16 SurveyDate::*part, const QString& text, Dialogs& dialogs) {
    qint16 value = 0;
    try {
        value = conv::numericValueInt16(text);
    } catch (const KorvaneError&) {
        return;
    }
    date.*part = value;
    checkSurveyDate(date, dialogs);
}
