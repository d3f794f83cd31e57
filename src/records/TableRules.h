#pragma once

#include "records/RacerRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The rules the values of each table obey, the same for every way in: the windows, the CSV import and
// korvane-cli. A value is accepted or refused here, and a refusal says, in Japanese, which field and
// which value.
namespace records {

// A value refused, and why; the message names the field and the value.
struct Refusal {
    QString field;
    QString message;
};

// The first birth year the era labels know (明治1).
constexpr int FirstBirthYear = 1868;

// Blanks removed at both ends: half-width, full-width and tabs.
QString trimBlanks(const QString& text);

// A whole number as people type and spreadsheets write it: blanks around it, ASCII or full-width
// digits, a sign, thousands commas ("20,001") and a zero fraction ("20002.0"). Anything else (an empty
// text, letters after the digits, a true fraction, beyond 32 bits) is no whole number.
std::optional<int> wholeNumber(const QString& text);

// An entry of the birth-year pickers: the Western year and its era year, "1965 (昭和40)". The year of
// an era's change takes the new era (1989 (平成1)); a year before 明治 is the year alone.
QString birthYearEntry(int year);
// The Western year of a birth-year text: a whole number ("1965", "１９６５") or an entry that starts
// with four digits ("1965 (昭和40)"); nullopt for anything else.
std::optional<int> birthYearOf(const QString& text);

// Collects the refusals of one record's values.
class Checker {
public:
    explicit Checker(QList<Refusal>& refusals)
        : m_refusals(refusals) {}
    bool ok() const { return m_ok; }
    void refuse(const QString& field, const QString& message);

    // A whole number in [min, max]; nullopt after a refusal, or for an empty optional value.
    std::optional<qint16> number(const QString& field, const QString& text, int min, int max,
                                 bool required = true);
    // A text that may not be blank, trimmed of its blanks.
    QString name(const QString& field, const QString& text);
    // A birth date of the calendar from the year FirstBirthYear to thisYear. The year may be a picker
    // entry ("1965 (昭和40)"). fields name the year, month and day.
    bool birthDate(const QStringList& fields, const QString& yearText, const QString& monthText,
                   const QString& dayText, int thisYear, qint16& year, qint16& month, qint16& day);

private:
    QList<Refusal>& m_refusals;
    bool m_ok = true;
};

// The texts of a racer as typed or read from a file, and what each is called where it was typed.
struct RacerTexts {
    QString racerId, name, reading, term, grade, birthYear, birthMonth, birthDay;
};
struct RacerLabels {
    QString racerId = QStringLiteral("選手ID");
    QString name = QStringLiteral("名前");
    QString reading = QStringLiteral("よみがな");
    QString term = QStringLiteral("期");
    QString grade = QStringLiteral("級");
    QString birthYear = QStringLiteral("生年");
    QString birthMonth = QStringLiteral("生月");
    QString birthDay = QStringLiteral("生日");
};
// 選手ID 1..32767, name and reading not blank (trimmed), 期 0..32767 or empty for an unknown term,
// 級 trimmed or empty for an unknown grade, a birth date that exists. The racer's own values go into
// fields (affiliation and blood type are looked up by the caller); false after refusals.
bool checkRacer(const RacerTexts& texts, int thisYear, RacerFields& fields, QList<Refusal>& refusals,
                const RacerLabels& labels = {});

// 競輪場ID 1..32767 and a name that is not blank (trimmed).
struct VelodromeValues {
    qint16 id = 0;
    QString name;
};
bool checkVelodrome(const QString& idText, const QString& nameText, VelodromeValues& values,
                    QList<Refusal>& refusals, const QString& idLabel = QStringLiteral("競輪場ID"),
                    const QString& nameLabel = QStringLiteral("競輪場名"));

// A roster person: a name that is not blank (trimmed) and a birth date that exists.
struct RosterPerson {
    QString name;
    qint16 year = 0;
    qint16 month = 0;
    qint16 day = 0;
    // 名前, 生年, 生月, 生日 as the roster stores them: "1965 (昭和40)", "4", "10".
    QStringList storedTexts() const;
};
bool checkRosterPerson(const QString& name, const QString& year, const QString& month, const QString& day,
                       int thisYear, RosterPerson& person, QList<Refusal>& refusals);

// The refusals as one message, a line each, and its title after the first field at fault
// ("生年入力エラー").
QString refusalText(const QList<Refusal>& refusals);
QString refusalTitle(const QList<Refusal>& refusals);

} // namespace records
