#include "race/EvaluationDisplay.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QTest>

class EvaluationDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void screenRule_data();
    void screenRule();
    void paperRule_data();
    void paperRule();
};

void EvaluationDisplayTest::screenRule_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("red");
    QTest::newRow("exactly 1") << 1.0 << QStringLiteral("1.00") << true;
    QTest::newRow("exactly -1") << -1.0 << QStringLiteral("-1.00") << true;
    QTest::newRow("-1.01") << -1.01 << QStringLiteral("-1.01") << false;
    QTest::newRow("0.95") << 0.95 << QStringLiteral("0.95") << true;
    QTest::newRow("1.2") << 1.2 << QStringLiteral("1.20") << false;
    QTest::newRow("minimum") << -8.25 << QStringLiteral("-8.25") << false;
    QTest::newRow("zero") << 0.0 << QStringLiteral("0.00") << true;
    QTest::newRow("-0.003 keeps its minus sign") << -0.003 << QStringLiteral("-0.00") << true;
    QTest::newRow("-0.999 rounds to -1.00") << -0.999 << QStringLiteral("-1.00") << true;
    QTest::newRow("1.004 shows 1.00 but is white") << 1.004 << QStringLiteral("1.00") << false;
}

void EvaluationDisplayTest::screenRule() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(bool, red);
    QLabel label;
    showEvaluation(&label, value);
    QCOMPARE(label.text(), text);
    QVERIFY(label.autoFillBackground());
    QCOMPARE(label.palette().color(QPalette::Window), red ? QColor(255, 0, 0) : QColor(255, 255, 255));
}

void EvaluationDisplayTest::paperRule_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("red");
    QTest::newRow("0.999 cut to 0.99, red") << 0.999 << QStringLiteral("0.99") << true;
    QTest::newRow("-0.995 cut to -1.00, black") << -0.995 << QStringLiteral("-1.00") << false;
    QTest::newRow("exactly 1 black") << 1.0 << QStringLiteral("1.00") << false;
    QTest::newRow("exactly -1 black") << -1.0 << QStringLiteral("-1.00") << false;
    QTest::newRow("zero red") << 0.0 << QStringLiteral("0.00") << true;
    QTest::newRow("1.239 cut") << 1.239 << QStringLiteral("1.23") << false;
    QTest::newRow("-1.231 cut") << -1.231 << QStringLiteral("-1.24") << false;
    QTest::newRow("tiny negative cut to -0.01, red") << -2.4e-06 << QStringLiteral("-0.01") << true;
}

void EvaluationDisplayTest::paperRule() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(bool, red);
    RecordingPrinter printer;
    auto job = printer.startJob(QStringLiteral("t"));
    printEvaluation(*job, 4, value);
    const QStringList lines = printer.pageText(0);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first(), QStringLiteral("    ") + text);
    QCOMPARE(printer.lineColors(0, 0, 0),
             QStringLiteral("....") + QString(text.size(), red ? QLatin1Char('R') : QLatin1Char('B')));
}

QTEST_MAIN(EvaluationDisplayTest)
#include "EvaluationDisplayTest.moc"
