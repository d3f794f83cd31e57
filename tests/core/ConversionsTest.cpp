#include "core/Conversions.h"
#include "core/Errors.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <memory>

namespace {

// A locale that writes numbers with a decimal comma (German), compiled into a private folder so
// that the test needs no locale installed on the machine. Null when it cannot be made.
std::unique_ptr<QTemporaryDir> decimalCommaLocale() {
    auto dir = std::make_unique<QTemporaryDir>();
    const int rc = QProcess::execute(QStringLiteral("localedef"),
                                     {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                                      QStringLiteral("UTF-8"), dir->filePath(QStringLiteral("de_DE.UTF-8"))});
    if (rc != 0)
        return nullptr;
    qputenv("LOCPATH", QFile::encodeName(dir->path()));
    return dir;
}

} // namespace

class ConversionsTest : public QObject {
    Q_OBJECT

private slots:
    void numericValue_data();
    void numericValue();
    void toInt16_data();
    void toInt16();
    void numericValueOverflow();
    void formatAmount_data();
    void formatAmount();
    void floorHundredths_data();
    void floorHundredths();
    void styles();
    void padCutAndTrim();
    void padCutByCharacter_data();
    void padCutByCharacter();
    void numbersUnderDecimalCommaLocale_data();
    void numbersUnderDecimalCommaLocale();
    void fieldValues_data();
    void fieldValues();
};

void ConversionsTest::numericValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << QStringLiteral("1999") << 1999.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("non-numeric") << QStringLiteral("abc") << 0.0;
    QTest::newRow("leading blanks") << QStringLiteral("   12") << 12.0;
    QTest::newRow("blanks inside") << QStringLiteral("1 2 3") << 123.0;
    QTest::newRow("trailing text") << QStringLiteral("3着") << 3.0;
    QTest::newRow("history item") << QStringLiteral("12 ： 1999.12.8　青森競輪") << 12.0;
    QTest::newRow("minus") << QStringLiteral("-5") << -5.0;
    QTest::newRow("minus then blank") << QStringLiteral("- 5") << -5.0;
    QTest::newRow("plus") << QStringLiteral("+7") << 7.0;
    QTest::newRow("decimal") << QStringLiteral("2.5") << 2.5;
    QTest::newRow("leading point") << QStringLiteral(".5x") << 0.5;
    QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 1000.0;
    QTest::newRow("dangling exponent") << QStringLiteral("12E") << 12.0;
    QTest::newRow("full-width digits") << QStringLiteral("１９９９") << 1999.0;
    QTest::newRow("full-width minus") << QStringLiteral("－３") << -3.0;
    QTest::newRow("full-width blank") << QStringLiteral("　４") << 4.0;
    QTest::newRow("sign only") << QStringLiteral("-") << 0.0;
    QTest::newRow("text then digits") << QStringLiteral("第5") << 0.0;
}

void ConversionsTest::numericValue() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(conv::numericValue(text), expected);
}

void ConversionsTest::toInt16_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("half to even down") << 2.5 << 2 << false;
    QTest::newRow("half to even up") << 3.5 << 4 << false;
    QTest::newRow("negative half") << -2.5 << -2 << false;
    QTest::newRow("just below half") << 2.4999 << 2 << false;
    QTest::newRow("max") << 32767.0 << 32767 << false;
    QTest::newRow("max plus 0.4") << 32767.4 << 32767 << false;
    QTest::newRow("max plus half overflows") << 32767.5 << 0 << true;
    QTest::newRow("min") << -32768.0 << -32768 << false;
    QTest::newRow("min minus half rounds to even") << -32768.5 << -32768 << false;
    QTest::newRow("min minus 0.51 overflows") << -32768.51 << 0 << true;
    QTest::newRow("far out") << 1e9 << 0 << true;
}

void ConversionsTest::toInt16() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QFETCH(bool, overflows);
    try {
        const qint16 result = conv::toInt16(value);
        QVERIFY2(!overflows, "expected an overflow error");
        QCOMPARE(int(result), expected);
    } catch (const KorvaneError& error) {
        QVERIFY2(overflows, "unexpected error");
        QCOMPARE(error.number(), ErrorNumber::Overflow);
    }
}

void ConversionsTest::numericValueOverflow() {
    QCOMPARE(conv::numericValueInt16(QStringLiteral("32767")), qint16(32767));
    QVERIFY_THROWS_EXCEPTION(KorvaneError, conv::numericValueInt16(QStringLiteral("40000")));
    QVERIFY_THROWS_EXCEPTION(KorvaneError, conv::numericValue(QStringLiteral("1e400")));
    QCOMPARE(conv::toInt32(2147483647.0), 2147483647);
    QVERIFY_THROWS_EXCEPTION(KorvaneError, conv::toInt32(2147483647.5));
}

void ConversionsTest::formatAmount_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0.00");
    QTest::newRow("-0.005 rounds away") << -0.005 << QStringLiteral("-0.01");
    QTest::newRow("0.995 rounds up on its decimal form") << 0.995 << QStringLiteral("1.00");
    QTest::newRow("-8.25") << -8.25 << QStringLiteral("-8.25");
    QTest::newRow("-5.105") << -5.105338491786189 << QStringLiteral("-5.11");
    QTest::newRow("1.5513") << 1.5513 << QStringLiteral("1.55");
    QTest::newRow("tiny negative keeps its sign") << -2.4248714463357544e-06 << QStringLiteral("-0.00");
    QTest::newRow("negative rounding to zero") << -0.004 << QStringLiteral("-0.00");
    QTest::newRow("negative zero has no sign") << -0.0 << QStringLiteral("0.00");
    QTest::newRow("tiny positive") << 0.004 << QStringLiteral("0.00");
    QTest::newRow("thousands") << 1234567.891 << QStringLiteral("1,234,567.89");
    QTest::newRow("carry into thousands") << 999.999 << QStringLiteral("1,000.00");
    QTest::newRow("0.005") << 0.005 << QStringLiteral("0.01");
    QTest::newRow("1.0") << 1.0 << QStringLiteral("1.00");
}

void ConversionsTest::formatAmount() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(conv::formatAmount(value), expected);
}

void ConversionsTest::floorHundredths_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1.239") << 1.239 << QStringLiteral("1.23");
    QTest::newRow("-1.231") << -1.231 << QStringLiteral("-1.24");
    QTest::newRow("0.999") << 0.999 << QStringLiteral("0.99");
    QTest::newRow("-0.995") << -0.995 << QStringLiteral("-1.00");
    QTest::newRow("exactly 1") << 1.0 << QStringLiteral("1.00");
    QTest::newRow("tiny negative") << -2.4e-06 << QStringLiteral("-0.01");
}

void ConversionsTest::floorHundredths() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(conv::formatAmount(conv::floorHundredths(value)), expected);
}

void ConversionsTest::styles() {
    QCOMPARE(conv::signedStyle(1999), QStringLiteral(" 1999"));
    QCOMPARE(conv::signedStyle(0), QStringLiteral(" 0"));
    QCOMPARE(conv::signedStyle(-3), QStringLiteral("-3"));
    QCOMPARE(conv::printStyle(5), QStringLiteral(" 5 "));
    QCOMPARE(conv::printStyle(-12), QStringLiteral("-12 "));
    QCOMPARE(conv::printStyle(0), QStringLiteral(" 0 "));
    QCOMPARE(conv::plainNumber(3), QStringLiteral("3"));
    QCOMPARE(conv::plainNumber(-1.5), QStringLiteral("-1.5"));
}

void ConversionsTest::padCutAndTrim() {
    QCOMPARE(conv::padCut(QStringLiteral("青森"), 6), QStringLiteral("青森    "));
    QCOMPARE(conv::padCut(QStringLiteral("1234567"), 6), QStringLiteral("123456"));
    QCOMPARE(conv::padCut(QString(), 3), QStringLiteral("   "));
    QCOMPARE(conv::trimBlanks(QStringLiteral("  山田 太郎  ")), QStringLiteral("山田 太郎"));
    QCOMPARE(conv::trimBlanks(QStringLiteral("　山田　")), QStringLiteral("　山田　"));
    QCOMPARE(conv::trimLeadingBlanks(QStringLiteral("  12 ")), QStringLiteral("12 "));
}

void ConversionsTest::padCutByCharacter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    // 𠮷 is one character in two UTF-16 units.
    QTest::newRow("padded by characters") << QStringLiteral("𠮷田") << 4 << QStringLiteral("𠮷田  ");
    QTest::newRow("cut after the pair") << QStringLiteral("𠮷田太郎") << 2 << QStringLiteral("𠮷田");
    QTest::newRow("never half a pair") << QStringLiteral("𠮷𠮷") << 1 << QStringLiteral("𠮷");
    QTest::newRow("pair at the end") << QStringLiteral("山𠮷") << 2 << QStringLiteral("山𠮷");
    QTest::newRow("lone surrogate is one character")
        << QString(QChar(0xD842)) + QStringLiteral("ab") << 2 << QString(QChar(0xD842)) + QStringLiteral("a");
}

void ConversionsTest::padCutByCharacter() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(conv::padCut(text, width), expected);
}

void ConversionsTest::numbersUnderDecimalCommaLocale_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("decimal point") << QStringLiteral("1.5") << 1.5;
    QTest::newRow("exponent after a point") << QStringLiteral("3.7e1") << 37.0;
    QTest::newRow("negative fraction") << QStringLiteral("-0.25") << -0.25;
    QTest::newRow("full-width point") << QStringLiteral("２．５") << 2.5;
    QTest::newRow("a comma is no decimal point") << QStringLiteral("1,5") << 1.0;
}

void ConversionsTest::numbersUnderDecimalCommaLocale() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    static const std::unique_ptr<QTemporaryDir> locale = decimalCommaLocale();
    if (!locale)
        QSKIP("localedef could not make a decimal-comma locale");
    QVERIFY(std::setlocale(LC_ALL, "de_DE.UTF-8"));
    QCOMPARE(QString::fromLatin1(std::localeconv()->decimal_point), QStringLiteral(","));
    const double value = conv::numericValue(text);
    const QString amount = conv::formatAmount(1234.5);
    std::setlocale(LC_ALL, "C");
    QCOMPARE(value, expected);
    QCOMPARE(amount, QStringLiteral("1,234.50"));
}

void ConversionsTest::fieldValues_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("error");    // of valueToInt16, 0 for none
    QTest::addColumn<int>("asInt16");  // when no error
    QTest::addColumn<QString>("text"); // valueText
    QTest::newRow("integer") << QVariant(qlonglong(1999)) << 0 << 1999 << QStringLiteral("1999");
    QTest::newRow("negative integer") << QVariant(qlonglong(-7)) << 0 << -7 << QStringLiteral("-7");
    QTest::newRow("integer beyond 16 bits")
        << QVariant(qlonglong(40000)) << ErrorNumber::Overflow << 0 << QStringLiteral("40000");
    QTest::newRow("real rounds half to even") << QVariant(2.5) << 0 << 2 << QStringLiteral("2.5");
    QTest::newRow("whole real") << QVariant(3.0) << 0 << 3 << QStringLiteral("3");
    QTest::newRow("numeric text") << QVariant(QStringLiteral("12")) << 0 << 12 << QStringLiteral("12");
    QTest::newRow("text") << QVariant(QStringLiteral("青森")) << ErrorNumber::TypeMismatch << 0
                          << QStringLiteral("青森");
    QTest::newRow("null") << QVariant() << ErrorNumber::InvalidUseOfNull << 0 << QString();
}

void ConversionsTest::fieldValues() {
    QFETCH(QVariant, value);
    QFETCH(int, error);
    QFETCH(int, asInt16);
    QFETCH(QString, text);
    QCOMPARE(conv::valueText(value), text);
    try {
        const qint16 result = conv::valueToInt16(value);
        QCOMPARE(error, 0);
        QCOMPARE(int(result), asInt16);
    } catch (const KorvaneError& e) {
        QCOMPARE(e.number(), error);
    }
}

QTEST_APPLESS_MAIN(ConversionsTest)
#include "ConversionsTest.moc"
