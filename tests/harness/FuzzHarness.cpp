// Fuzz test: random texts and numbers through the conversions and the find-first criterion
// parser, each answer compared with a slow reference written from the rules alone.
//
//   FuzzHarness [--inputs N] [--seed S]
//
// Prints each finding (at most 20) and "<inputs> passed, <findings> failed"; exits non-zero on any.
// Meant to run under the address and undefined-behaviour sanitizers as well.

#include "core/Conversions.h"
#include "core/Errors.h"
#include "store/Criterion.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace {

// ---------------------------------------------------------------------------------------------
// References.

// A number written as the leading number of a text is read, or "overflow".
struct Reading {
    bool overflow = false;
    double value = 0;
};

bool isBlankReference(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == 0x3000;
}

// Full-width digits, signs, point and E stand for their ASCII forms.
char32_t narrowReference(char32_t c) {
    if (c >= 0xFF10 && c <= 0xFF19)
        return U'0' + (c - 0xFF10);
    if (c == 0xFF0B)
        return U'+';
    if (c == 0xFF0D || c == 0x2212)
        return U'-';
    if (c == 0xFF0E)
        return U'.';
    if (c == 0xFF25 || c == 0xFF45)
        return U'E';
    return c;
}

// The power of ten of the first significant digit of a well-formed number such as "-0.05e3".
long long decimalMagnitude(const std::string& number) {
    const size_t e = number.find('e');
    const std::string mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        const bool negative = number[e + 1] == '-';
        for (size_t i = e + 1; i < number.size(); ++i)
            if (number[i] >= '0' && number[i] <= '9')
                exponent = std::min(exponent * 10 + (number[i] - '0'), 1000000000LL);
        if (negative)
            exponent = -exponent;
    }
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : mantissa.substr(point + 1);
    for (size_t i = 0; i < whole.size(); ++i)
        if (whole[i] >= '1' && whole[i] <= '9')
            return static_cast<long long>(whole.size() - i) - 1 + exponent;
    for (size_t i = 0; i < fraction.size(); ++i)
        if (fraction[i] >= '1' && fraction[i] <= '9')
            return -static_cast<long long>(i) - 1 + exponent;
    return std::numeric_limits<long long>::min() / 2; // all zeros
}

// The rule: blanks anywhere are skipped; then an optional sign, digits with at most one point (at
// least one digit in all), and an exponent letter (E or D, either case) with an optional sign and
// at least one digit; the rest is ignored. No digit at all reads as 0. Read with Qt's own
// decimal conversion, which shares nothing with the C library's.
Reading numericValueReference(const QString& text) {
    std::u32string chars;
    for (char32_t c : text.toUcs4()) {
        if (!isBlankReference(c))
            chars += narrowReference(c);
    }
    std::string number;
    size_t i = 0;
    if (i < chars.size() && (chars[i] == U'+' || chars[i] == U'-'))
        number += static_cast<char>(chars[i++]);
    int digits = 0;
    const auto takeDigits = [&] {
        while (i < chars.size() && chars[i] >= U'0' && chars[i] <= U'9') {
            number += static_cast<char>(chars[i++]);
            ++digits;
        }
    };
    takeDigits();
    if (i < chars.size() && chars[i] == U'.') {
        number += '.';
        ++i;
        takeDigits();
    }
    if (digits == 0)
        return {};
    if (i < chars.size() && (chars[i] == U'e' || chars[i] == U'E' || chars[i] == U'd' || chars[i] == U'D')) {
        std::string exponent = "e";
        size_t j = i + 1;
        if (j < chars.size() && (chars[j] == U'+' || chars[j] == U'-'))
            exponent += static_cast<char>(chars[j++]);
        if (j < chars.size() && chars[j] >= U'0' && chars[j] <= U'9') {
            while (j < chars.size() && chars[j] >= U'0' && chars[j] <= U'9')
                exponent += static_cast<char>(chars[j++]);
            number += exponent;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QString::fromStdString(number), &ok);
    if (ok && std::isfinite(value))
        return {false, value};
    // Qt refuses what a double cannot hold: too large is an overflow, too small reads as zero.
    return {decimalMagnitude(number) > 0, 0};
}

// Half to even, by looking at the fraction exactly (doubles hold their fractions exactly).
std::optional<qint16> toInt16Reference(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    if (whole < -32768 || whole > 32767)
        return std::nullopt;
    return static_cast<qint16>(whole);
}

// Cut or padded to width characters, a surrogate pair being one character.
QString padCutReference(const QString& text, int width) {
    QString result;
    int count = 0;
    qsizetype i = 0;
    while (count < width && i < text.size()) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        result += text.mid(i, pair ? 2 : 1);
        i += pair ? 2 : 1;
        ++count;
    }
    for (; count < width; ++count)
        result += QLatin1Char(' ');
    return result;
}

// The criterion's blanks: those of a regular expression's \s without Unicode properties.
bool isCriterionBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r';
}

// A field name (no blank, no '='), '=', a sign and one to six ASCII digits within 16 bits, with
// blanks allowed around each part; a text with a broken surrogate pair is none.
std::optional<store::Criterion> criterionReference(const QString& text) {
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (c.isHighSurrogate() && k + 1 < text.size() && text.at(k + 1).isLowSurrogate())
            ++k;
        else if (c.isSurrogate())
            return std::nullopt; // a broken pair
    }
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skipBlanks = [&] {
        while (i < n && isCriterionBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    const qsizetype fieldStart = i;
    while (i < n && !isCriterionBlank(text.at(i)) && text.at(i) != QLatin1Char('='))
        ++i;
    if (i == fieldStart)
        return std::nullopt;
    const QString field = text.mid(fieldStart, i - fieldStart);
    skipBlanks();
    if (i >= n || text.at(i) != QLatin1Char('='))
        return std::nullopt;
    ++i;
    skipBlanks();
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    int digits = 0;
    while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9')) {
        // Past six digits the criterion is refused anyway; the value stops growing there.
        if (digits < 7)
            value = value * 10 + (text.at(i).unicode() - '0');
        ++i;
        ++digits;
    }
    if (digits < 1 || digits > 6)
        return std::nullopt;
    skipBlanks();
    if (i != n)
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return store::Criterion{field, static_cast<qint16>(value)};
}

// ---------------------------------------------------------------------------------------------
// Inputs: texts made mostly of the characters that matter to the parsers.

const QStringList pieces = {
    QStringLiteral("0"),      QStringLiteral("1"),      QStringLiteral("5"),
    QStringLiteral("9"),      QStringLiteral("32767"),  QStringLiteral("32768"),
    QStringLiteral("00"),     QStringLiteral("."),      QStringLiteral("+"),
    QStringLiteral("-"),      QStringLiteral("e"),      QStringLiteral("E"),
    QStringLiteral("d"),      QStringLiteral("D"),      QStringLiteral(" "),
    QStringLiteral("\t"),     QStringLiteral("\n"),     QStringLiteral("\r"),
    QStringLiteral("\v"),     QStringLiteral("="),      QStringLiteral("　"),
    QStringLiteral("１"),     QStringLiteral("９"),     QStringLiteral("．"),
    QStringLiteral("－"),     QStringLiteral("＋"),     QStringLiteral("−"),
    QStringLiteral("Ｅ"),     QStringLiteral("ｅ"),     QStringLiteral("期"),
    QStringLiteral("登番"),   QStringLiteral("選手ID"), QStringLiteral("よみがなID"),
    QStringLiteral("所属ID"), QStringLiteral("x"),      QStringLiteral("着"),
    QStringLiteral("𠮷"),     QStringLiteral("\u00A0"), QStringLiteral("\u2028"),
    QStringLiteral("\u180E"), QStringLiteral("e308"),   QStringLiteral("e-320"),
    QStringLiteral("e400"),   QStringLiteral("OR"),     QStringLiteral("'"),
    QStringLiteral("%"),      QStringLiteral("_"),
};

QString randomText(QRandomGenerator& random) {
    QString text;
    const int parts = random.bounded(12);
    for (int p = 0; p < parts; ++p) {
        const int kind = random.bounded(20);
        if (kind == 0)
            text += QChar(static_cast<char16_t>(random.bounded(0xD800, 0xE000))); // a lone surrogate
        else if (kind == 1)
            text += QChar(static_cast<char16_t>(random.bounded(0x20, 0xD800)));
        else
            text += pieces.at(random.bounded(pieces.size()));
    }
    return text;
}

double randomNumber(QRandomGenerator& random) {
    switch (random.bounded(4)) {
    case 0:
        return random.bounded(-40000, 40000) + random.bounded(4) * 0.25;
    case 1:
        return (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-6, 12));
    case 2: {
        quint64 bits = random.generate64();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    default:
        return random.bounded(-32770, 32770) + 0.5;
    }
}

// ---------------------------------------------------------------------------------------------

QString show(const QString& text) {
    QString shown;
    for (QChar c : text)
        shown += c.unicode() < 0x20 || c.isSurrogate()
                     ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))
                     : QString(c);
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

class Findings {
public:
    void add(const QString& what) {
        if (++m_count <= 20)
            std::printf("finding: %s\n", qPrintable(what));
    }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

void checkNumericValue(const QString& text, Findings& findings) {
    const Reading expected = numericValueReference(text);
    try {
        const double value = conv::numericValue(text);
        if (expected.overflow)
            findings.add(
                QStringLiteral("numericValue(%1) = %2, expected overflow").arg(show(text)).arg(value));
        else if (value != expected.value)
            findings.add(QStringLiteral("numericValue(%1) = %2, expected %3")
                             .arg(show(text))
                             .arg(value, 0, 'g', 17)
                             .arg(expected.value, 0, 'g', 17));
        else {
            const std::optional<qint16> whole = toInt16Reference(value);
            try {
                const qint16 got = conv::numericValueInt16(text);
                if (!whole || *whole != got)
                    findings.add(QStringLiteral("numericValueInt16(%1) = %2").arg(show(text)).arg(got));
            } catch (const KorvaneError& error) {
                if (whole || error.number() != ErrorNumber::Overflow)
                    findings.add(QStringLiteral("numericValueInt16(%1) raised %2")
                                     .arg(show(text))
                                     .arg(error.number()));
            }
        }
    } catch (const KorvaneError& error) {
        if (!expected.overflow || error.number() != ErrorNumber::Overflow)
            findings.add(QStringLiteral("numericValue(%1) raised %2").arg(show(text)).arg(error.number()));
    }
}

void checkToInt16(double value, Findings& findings) {
    const std::optional<qint16> expected = toInt16Reference(value);
    try {
        const qint16 got = conv::toInt16(value);
        if (!expected || *expected != got)
            findings.add(QStringLiteral("toInt16(%1) = %2").arg(value, 0, 'g', 17).arg(got));
    } catch (const KorvaneError& error) {
        if (expected || error.number() != ErrorNumber::Overflow)
            findings.add(QStringLiteral("toInt16(%1) raised %2").arg(value, 0, 'g', 17).arg(error.number()));
    }
}

void checkCriterion(const QString& text, Findings& findings) {
    const std::optional<store::Criterion> expected = criterionReference(text);
    const std::optional<store::Criterion> got = store::parseCriterion(text);
    if (expected.has_value() != got.has_value() ||
        (got && (got->field != expected->field || got->value != expected->value)))
        findings.add(
            QStringLiteral("criterion %1: %2, expected %3")
                .arg(show(text),
                     got ? show(got->field) + QLatin1Char('=') + QString::number(got->value)
                         : QStringLiteral("none"),
                     expected ? show(expected->field) + QLatin1Char('=') + QString::number(expected->value)
                              : QStringLiteral("none")));
}

void checkPadCut(const QString& text, int width, Findings& findings) {
    const QString got = conv::padCut(text, width);
    if (got != padCutReference(text, width))
        findings.add(QStringLiteral("padCut(%1, %2) = %3").arg(show(text)).arg(width).arg(show(got)));
}

QString argument(const QStringList& arguments, const QString& name, const QString& fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qint64 inputs =
        argument(arguments, QStringLiteral("--inputs"), QStringLiteral("100000")).toLongLong();
    const quint32 seed = argument(arguments, QStringLiteral("--seed"), QStringLiteral("20240401")).toUInt();
    QRandomGenerator random(seed);
    Findings findings;
    qint64 failedInputs = 0;
    for (qint64 n = 0; n < inputs; ++n) {
        const int before = findings.count();
        const QString text = randomText(random);
        checkNumericValue(text, findings);
        checkCriterion(text, findings);
        checkPadCut(text, random.bounded(0, 25), findings);
        checkToInt16(randomNumber(random), findings);
        if (findings.count() != before)
            ++failedInputs;
    }
    std::printf(
        "fuzz: %lld inputs (seed %u) through numericValue, numericValueInt16, toInt16, padCut and the "
        "find-first criterion; %d findings\n",
        static_cast<long long>(inputs), seed, findings.count());
    std::printf("%lld passed, %lld failed\n", static_cast<long long>(inputs - failedInputs),
                static_cast<long long>(failedInputs));
    return failedInputs == 0 ? 0 : 1;
}
