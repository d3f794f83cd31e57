#include "shell/MessageBoxDialogs.h"
#include "support/TestSupport.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>

class MessageBoxDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void longValuesInQuestions_data();
    void longValuesInQuestions();
};

void MessageBoxDialogsTest::longValuesInQuestions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // a pattern of the whole text shown
    const QString ending = QStringLiteral("　選手を削除しますか。\r\n");
    QTest::newRow("name of 276 letters") << QStringLiteral("1234 ") + QString(276, QLatin1Char('A')) + ending
                                         << QStringLiteral("^1234 A{10,200}…　選手を削除しますか。$");
    QTest::newRow("number of 276 digits") << QStringLiteral("登番 ") + QString(276, QLatin1Char('7')) + ending
                                          << QStringLiteral("^登番 7{10,200}…　選手を削除しますか。$");
    QTest::newRow("two long runs") << QString(100, QLatin1Char('x')) + QStringLiteral(" ") +
                                          QString(100, QLatin1Char('y')) +
                                          QStringLiteral("\r\nを更新しますか。")
                                   << QStringLiteral("^x{10,99}… y{10,99}…\nを更新しますか。$");
    // Kana wrap between any two characters: the box wraps them and shows them all.
    QTest::newRow("name of 276 kana") << QStringLiteral("1234 ") + QString(276, QChar(0x3042)) + ending
                                      << QStringLiteral("^1234 あ{276}　選手を削除しますか。$");
    QTest::newRow("short question") << QStringLiteral("コルヴァンを終了しますか。\r\n")
                                    << QStringLiteral("^コルヴァンを終了しますか。$");
}

// A value the box cannot wrap is shortened, so the box stays narrow and the question stays in view.
void MessageBoxDialogsTest::longValuesInQuestions() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const auto box = MessageBoxDialogs::questionBox(text, QStringLiteral("選手テーブル削除"));
    QVERIFY2(QRegularExpression(shown).match(box->text()).hasMatch(), qPrintable(box->text()));
    box->show();
    QVERIFY2(box->width() <= 500, qPrintable(QString::number(box->width())));
    if (qstrcmp(QTest::currentDataTag(), "name of 276 letters") == 0)
        testsupport::saveScreenshot(box.get(), QStringLiteral("QuestionBox-long-name"));
}

QTEST_MAIN(MessageBoxDialogsTest)
#include "MessageBoxDialogsTest.moc"
