#include "core/Conversions.h"

#include "core/Errors.h"

#include <cfenv>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace conv {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r') || c == QChar(0x3000);
}

// Full-width forms typed by a Japanese input method read as their ASCII counterparts.
QChar narrow(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19)
        return QChar(u - 0xFF10 + '0');
    switch (u) {
    case 0xFF0B:
        return QLatin1Char('+');
    case 0xFF0D:
    case 0x2212:
        return QLatin1Char('-');
    case 0xFF0E:
        return QLatin1Char('.');
    case 0xFF25:
    case 0xFF45:
        return QLatin1Char('E');
    default:
        return c;
    }
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Numbers are read with a decimal point whatever the user's locale: the application object takes
// the environment's locale, where strtod would read "1.5" as 1 under a decimal comma.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

} // namespace

double numericValue(const QString& text) {
    // Collect the characters that form the leading number, skipping blanks wherever they stand.
    QString chars;
    chars.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            chars += narrow(c);
    }

    QByteArray number;
    qsizetype i = 0;
    const qsizetype n = chars.size();
    if (i < n && (chars[i] == QLatin1Char('+') || chars[i] == QLatin1Char('-')))
        number += chars[i++].toLatin1();
    bool anyDigit = false;
    while (i < n && isDigit(chars[i])) {
        number += chars[i++].toLatin1();
        anyDigit = true;
    }
    if (i < n && chars[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && isDigit(chars[i])) {
            number += chars[i++].toLatin1();
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < n && (chars[i] == QLatin1Char('E') || chars[i] == QLatin1Char('e') ||
                  chars[i] == QLatin1Char('D') || chars[i] == QLatin1Char('d'))) {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (j < n && (chars[j] == QLatin1Char('+') || chars[j] == QLatin1Char('-')))
            exponent += chars[j++].toLatin1();
        if (j < n && isDigit(chars[j])) {
            while (j < n && isDigit(chars[j]))
                exponent += chars[j++].toLatin1();
            number += exponent;
        }
    }
    const double value = strtod_l(number.constData(), nullptr, cLocale());
    if (!std::isfinite(value))
        raiseOverflow();
    return value;
}

double roundHalfEven(double value) {
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return rounded;
}

qint16 toInt16(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        raiseOverflow();
    return static_cast<qint16>(rounded);
}

qint32 toInt32(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        raiseOverflow();
    return static_cast<qint32>(rounded);
}

qint16 numericValueInt16(const QString& text) {
    return toInt16(numericValue(text));
}

QString formatAmount(double value) {
    if (!std::isfinite(value))
        raiseOverflow();
    // The value's 15-significant-digit decimal form, d.dddddddddddddde+XX, with a point in any locale.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const QByteArray form(buffer, written.ptr - buffer);
    const qsizetype ePos = form.indexOf('e');
    QByteArray digits = form.left(ePos);
    digits.remove(1, 1); // the decimal point
    const int exponent = form.mid(ePos + 1).toInt();

    // Keep the digits down to hundredths and round half away from zero on the next digit.
    const int kept = exponent + 1 + 2;
    QByteArray cents;
    if (kept <= 0) {
        cents = (kept == 0 && digits[0] >= '5') ? QByteArray("1") : QByteArray("0");
    } else if (kept >= digits.size()) {
        cents = digits + QByteArray(kept - digits.size(), '0');
    } else {
        cents = digits.left(kept);
        if (digits[kept] >= '5') {
            qsizetype k = cents.size() - 1;
            while (k >= 0 && cents[k] == '9') {
                cents[k] = '0';
                --k;
            }
            if (k < 0)
                cents.prepend('1');
            else
                cents[k] = static_cast<char>(cents[k] + 1);
        }
    }
    while (cents.size() > 1 && cents[0] == '0')
        cents.remove(0, 1);
    while (cents.size() < 3)
        cents.prepend('0');

    const QByteArray whole = cents.left(cents.size() - 2);
    QByteArray grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += ',';
        grouped += whole[i];
    }
    // Every negative value keeps its sign, also one that rounds to 0.00: -0.004 reads "-0.00".
    QString result = QString::fromLatin1(grouped + '.' + cents.right(2));
    if (value < 0)
        result.prepend(QLatin1Char('-'));
    return result;
}

double floorHundredths(double value) {
    return std::floor(value * 100) / 100;
}

QString signedStyle(qint64 value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString plainNumber(double value) {
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

QString printStyle(double value) {
    const QString digits = plainNumber(value);
    return (value < 0 ? digits : QLatin1Char(' ') + digits) + QLatin1Char(' ');
}

QString padCut(const QString& text, int width) {
    // Counted in characters: a character beyond the basic plane (𠮷) is two UTF-16 units but one
    // character, and is never cut in half.
    QString result;
    result.reserve(text.size() + width);
    int count = 0;
    for (qsizetype i = 0; i < text.size() && count < width; ++count) {
        const qsizetype units =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        result += text.mid(i, units);
        i += units;
    }
    if (count < width)
        result += QString(width - count, QLatin1Char(' '));
    return result;
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString trimLeadingBlanks(const QString& text) {
    qsizetype begin = 0;
    while (begin < text.size() && text[begin] == QLatin1Char(' '))
        ++begin;
    return text.mid(begin);
}

QVariant requireValue(const QVariant& value) {
    if (value.isNull())
        raiseInvalidUseOfNull();
    return value;
}

double valueToDouble(const QVariant& value) {
    if (value.isNull())
        raiseInvalidUseOfNull();
    if (value.typeId() == QMetaType::LongLong)
        return static_cast<double>(*static_cast<const qlonglong*>(value.constData()));
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw KorvaneError(ErrorNumber::TypeMismatch, programErrorSource(),
                           QStringLiteral("型が一致しません。"));
    return number;
}

qint16 valueToInt16(const QVariant& value) {
    // The store gives integer columns as qlonglong: those in range need no rounding.
    if (value.typeId() == QMetaType::LongLong) {
        const qlonglong whole = *static_cast<const qlonglong*>(value.constData());
        if (whole >= -32768 && whole <= 32767)
            return static_cast<qint16>(whole);
    }
    return toInt16(valueToDouble(value));
}

QString valueText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::LongLong:
        return QString::number(*static_cast<const qlonglong*>(value.constData()));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(value.toDouble());
    default:
        return value.isNull() ? QString() : value.toString();
    }
}

} // namespace conv
