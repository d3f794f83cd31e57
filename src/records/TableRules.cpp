#include "records/TableRules.h"

#include <QDate>
#include <QRegularExpression>

namespace records {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x3000);
}

// Full-width digits, signs, commas and points as their ASCII forms, so that what an input method
// types reads as what it shows.
QString asciiNumberText(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(u'0' + (u - 0xFF10));
        else if (u == 0xFF0D || u == 0x2212)
            c = QLatin1Char('-');
        else if (u == 0xFF0B)
            c = QLatin1Char('+');
        else if (u == 0xFF0C)
            c = QLatin1Char(',');
        else if (u == 0xFF0E)
            c = QLatin1Char('.');
    }
    return out;
}

struct Era {
    int firstYear;
    const char16_t* name;
};
// Newest first: a year takes the newest era that began in or before it.
constexpr Era Eras[] = {{2019, u"令和"}, {1989, u"平成"}, {1926, u"昭和"}, {1912, u"大正"}, {1868, u"明治"}};

QString notWholeNumber(const QString& field, const QString& value, int min, int max) {
    return QStringLiteral("%1「%2」は %3 から %4 までの整数ではありません。")
        .arg(field, value)
        .arg(min)
        .arg(max);
}

} // namespace

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<int> wholeNumber(const QString& text) {
    // Plain ASCII digits, as most fields of a file are, are read without the general form.
    if (!text.isEmpty() && text.size() <= 9) {
        int value = 0;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                value = -1;
                break;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value >= 0)
            return value;
    }
    static const QRegularExpression form(QStringLiteral("^([+-]?)(\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.0+)?$"));
    const QRegularExpressionMatch match = form.match(asciiNumberText(trimBlanks(text)));
    if (!match.hasMatch())
        return std::nullopt;
    QString digits = match.captured(2);
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    if (!ok || value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(match.captured(1) == QLatin1String("-") ? -value : value);
}

QString birthYearEntry(int year) {
    for (const Era& era : Eras)
        if (year >= era.firstYear)
            return QStringLiteral("%1 (%2%3)")
                .arg(year)
                .arg(QString::fromUtf16(era.name))
                .arg(year - era.firstYear + 1);
    return QString::number(year);
}

std::optional<int> birthYearOf(const QString& text) {
    if (const auto year = wholeNumber(text))
        return year;
    static const QRegularExpression entry(QStringLiteral("^(\\d{4})\\s*[(（].*[)）]$"));
    const QRegularExpressionMatch match = entry.match(asciiNumberText(trimBlanks(text)));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

void Checker::refuse(const QString& field, const QString& message) {
    m_ok = false;
    m_refusals.append({field, message});
}

std::optional<qint16> Checker::number(const QString& field, const QString& text, int min, int max,
                                      bool required) {
    const QString value = trimBlanks(text);
    if (value.isEmpty()) {
        if (required)
            refuse(field, QStringLiteral("%1がありません。").arg(field));
        return std::nullopt;
    }
    const auto n = wholeNumber(value);
    if (!n || *n < min || *n > max) {
        refuse(field, notWholeNumber(field, value, min, max));
        return std::nullopt;
    }
    return static_cast<qint16>(*n);
}

QString Checker::name(const QString& field, const QString& text) {
    const QString value = trimBlanks(text);
    if (value.isEmpty())
        refuse(field, QStringLiteral("%1がありません。").arg(field));
    return value;
}

bool Checker::birthDate(const QStringList& fields, const QString& yearText, const QString& monthText,
                        const QString& dayText, int thisYear, qint16& year, qint16& month, qint16& day) {
    std::optional<qint16> y;
    const QString yearValue = trimBlanks(yearText);
    if (yearValue.isEmpty()) {
        refuse(fields.at(0), QStringLiteral("%1がありません。").arg(fields.at(0)));
    } else if (const auto n = birthYearOf(yearValue); n && *n >= FirstBirthYear && *n <= thisYear) {
        y = static_cast<qint16>(*n);
    } else {
        refuse(fields.at(0), notWholeNumber(fields.at(0), yearValue, FirstBirthYear, thisYear));
    }
    const auto m = number(fields.at(1), monthText, 1, 12);
    const auto d = number(fields.at(2), dayText, 1, 31);
    if (!y || !m || !d)
        return false;
    if (!QDate(*y, *m, *d).isValid()) {
        refuse(fields.at(2), QStringLiteral("%1年%2月%3日という日はありません。").arg(*y).arg(*m).arg(*d));
        return false;
    }
    year = *y;
    month = *m;
    day = *d;
    return true;
}

bool checkRacer(const RacerTexts& t, int thisYear, RacerFields& f, QList<Refusal>& refusals,
                const RacerLabels& labels) {
    Checker check(refusals);
    if (const auto id = check.number(labels.racerId, t.racerId, 1, 32767))
        f.racerId = *id;
    f.name = check.name(labels.name, t.name);
    f.reading = check.name(labels.reading, t.reading);
    const auto term = check.number(labels.term, t.term, 0, 32767, false);
    f.term = term ? QVariant(*term) : QVariant();
    const QString grade = trimBlanks(t.grade);
    f.grade = grade.isEmpty() ? QVariant() : QVariant(grade);
    check.birthDate({labels.birthYear, labels.birthMonth, labels.birthDay}, t.birthYear, t.birthMonth,
                    t.birthDay, thisYear, f.birthYear, f.birthMonth, f.birthDay);
    return check.ok();
}

bool checkVelodrome(const QString& idText, const QString& nameText, VelodromeValues& values,
                    QList<Refusal>& refusals, const QString& idLabel, const QString& nameLabel) {
    Checker check(refusals);
    if (const auto id = check.number(idLabel, idText, 1, 32767))
        values.id = *id;
    values.name = check.name(nameLabel, nameText);
    return check.ok();
}

QStringList RosterPerson::storedTexts() const {
    return {name, birthYearEntry(year), QString::number(month), QString::number(day)};
}

bool checkRosterPerson(const QString& name, const QString& year, const QString& month, const QString& day,
                       int thisYear, RosterPerson& person, QList<Refusal>& refusals) {
    Checker check(refusals);
    person.name = check.name(QStringLiteral("名前"), name);
    check.birthDate({QStringLiteral("生年"), QStringLiteral("生月"), QStringLiteral("生日")}, year, month,
                    day, thisYear, person.year, person.month, person.day);
    return check.ok();
}

QString refusalText(const QList<Refusal>& refusals) {
    QString text;
    for (const Refusal& refusal : refusals)
        text += refusal.message + QStringLiteral("\r\n");
    return text;
}

QString refusalTitle(const QList<Refusal>& refusals) {
    return (refusals.isEmpty() ? QString() : refusals.first().field) + QStringLiteral("入力エラー");
}

} // namespace records
