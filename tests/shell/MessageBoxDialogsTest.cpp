#include "shell/MessageBoxDialogs.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class MessageBoxDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void longValuesInQuestions_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // a pattern of the whole text shown
        QTest::newRow("276 letters") << u"1234 "_s + QString(276, u'A') + u"　選手を削除しますか。\r\n"_s
                                     << u"^1234 A{10,200}…　選手を削除しますか。$"_s;
        QTest::newRow("two runs") << QString(100, u'x') + u" "_s + QString(100, u'7') +
                                         u"\r\nを更新しますか。"_s
                                  << u"^x{10,99}… 7{10,99}…\nを更新しますか。$"_s;
        // Kana wrap between any two characters: the box wraps them and shows them all.
        QTest::newRow("276 kana") << QString(276, u'あ') + u"を削除しますか。"_s
                                  << u"^あ{276}を削除しますか。$"_s;
    }
    // A value the box cannot wrap is shortened: the box stays narrow and the question in view.
    void longValuesInQuestions() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const auto box = MessageBoxDialogs::questionBox(text, u"選手テーブル削除"_s);
        QVERIFY2(QRegularExpression(shown).match(box->text()).hasMatch(), qPrintable(box->text()));
        box->show();
        QVERIFY2(box->width() <= 500, qPrintable(QString::number(box->width())));
    }
};

QTEST_MAIN(MessageBoxDialogsTest)
#include "MessageBoxDialogsTest.moc"
