#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

// Conversions with the meanings the program has always given them. Every window uses these,
// never its own parsing or rounding, so that a value reads and shows the same everywhere.
namespace conv {

// The leading decimal number of a text: blanks before and inside it are skipped, an optional sign,
// digits with one decimal point and an optional exponent; full-width digits read like ASCII ones.
// An empty or non-numeric text gives 0. Throws overflow (6) when the number is beyond a double.
double numericValue(const QString& text);

// Rounds half to even (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Rounds half to even into a 16-bit or 32-bit integer; throws overflow (6) outside the range.
qint16 toInt16(double value);
qint32 toInt32(double value);

// numericValue() then toInt16().
qint16 numericValueInt16(const QString& text);

// The "##,##0.00" format: two decimals rounded half away from zero on the value's 15-digit decimal
// form, thousands separated by commas, a minus sign before every negative value ("-0.00" included).
QString formatAmount(double value);

// Cut towards minus infinity to hundredths: floor(value * 100) / 100.
double floorHundredths(double value);

// A whole number with a blank in place of the sign when it is not negative (" 5", "-5").
QString signedStyle(qint64 value);

// A number as written by the printer and joined into texts: 15 significant digits, no exponent
// for ordinary values ("5", "-1.5", "0.25").
QString plainNumber(double value);

// A number in print style: blank (or minus sign), the number, one trailing blank (" 5 ", "-1.5 ").
QString printStyle(double value);

// Left-justified, padded with blanks or cut to exactly width characters (a character beyond the
// basic plane counts once).
QString padCut(const QString& text, int width);

// Leading and trailing ASCII blanks removed (full-width blanks are part of the text).
QString trimBlanks(const QString& text);
QString trimLeadingBlanks(const QString& text);

// Field values as the windows read them from records.
// The value itself; a null is error 94 (invalid use of null).
QVariant requireValue(const QVariant& value);
// A number field as a double; a null is error 94, a value that is no number error 13.
double valueToDouble(const QVariant& value);
// A number field rounded into 16 bits as toInt16() does; null 94, no number 13, out of range 6.
qint16 valueToInt16(const QVariant& value);
// A field joined into a text: numbers in plain decimal, texts as they are, a null as an empty text.
QString valueText(const QVariant& value);

} // namespace conv
