#include "app/Startup.h"
#include "app/PrinterFactory.h"
#include "app/ProgramIcon.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "shell/MessageBoxDialogs.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void twips_data();
    void twips();
    void unattendedDialogsAnswerNo();
    void standardButtonsInJapanese_data();
    void standardButtonsInJapanese();
    void programsPrinterSaysWhereThePdfWent();
    void windowIconIsTheDrawnPicture_data();
    void windowIconIsTheDrawnPicture();
};

void StartupTest::twips_data() {
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("twips");
    QTest::newRow("96 dpi") << 96.0 << 15;
    QTest::newRow("120 dpi") << 120.0 << 12;
    QTest::newRow("144 dpi") << 144.0 << 10;
    QTest::newRow("72 dpi") << 72.0 << 20;
    QTest::newRow("192 dpi rounds half to even") << 192.0 << 8; // 7.5
    QTest::newRow("110 dpi") << 110.0 << 13;                    // 13.09
    QTest::newRow("no screen information") << 0.0 << 15;
}

void StartupTest::twips() {
    QFETCH(double, dpi);
    QFETCH(int, twips);
    QCOMPARE(twipsPerPixel(dpi), qint16(twips));
}

// The unattended program that process tests start never waits on a question.
void StartupTest::unattendedDialogsAnswerNo() {
    StderrDialogs unattended;
    QCOMPARE(unattended.question(QStringLiteral("コルヴァンを終了しますか。\r\n"),
                                 QStringLiteral("コルヴァン終了")),
             Dialogs::Answer::No);
}

void StartupTest::standardButtonsInJapanese_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("yes") << int(QMessageBox::Yes) << QStringLiteral("はい");
    QTest::newRow("no") << int(QMessageBox::No) << QStringLiteral("いいえ");
    QTest::newRow("ok") << int(QMessageBox::Ok) << QStringLiteral("OK");
}

// The program's question boxes: Qt's own buttons, read in Japanese once its translation is loaded.
void StartupTest::standardButtonsInJapanese() {
    QFETCH(int, button);
    QFETCH(QString, text);
    static const bool installed = installQtTranslations(*qApp);
    QVERIFY2(installed, "qtbase_ja from qt6-translations-l10n");
    testsupport::initGui();
    QMessageBox box(QMessageBox::Question, QStringLiteral("コルヴァン終了"),
                    QStringLiteral("コルヴァンを終了しますか。"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    QAbstractButton* shown = box.button(static_cast<QMessageBox::StandardButton>(button));
    QVERIFY(shown);
    // The mnemonic marker may follow the word: はい(&Y).
    QVERIFY2(shown->text().startsWith(text), qPrintable(shown->text()));
    if (button == QMessageBox::Ok) {
        // The program's own question box: question icon, No as the default.
        const auto question = MessageBoxDialogs::questionBox(QStringLiteral("コルヴァンを終了しますか。\r\n"),
                                                             QStringLiteral("コルヴァン終了"));
        QCOMPARE(static_cast<QAbstractButton*>(question->defaultButton()), question->button(QMessageBox::No));
        QCOMPARE(question->icon(), QMessageBox::Question);
        QVERIFY(question->button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
        question->show();
        testsupport::saveScreenshot(question.get(), QStringLiteral("QuestionBox"));
    }
}

// The printer the program makes tells the user of a report written to a PDF file.
void StartupTest::programsPrinterSaysWhereThePdfWent() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed: reports go to it, not to a file");
    AppState state;
    QTemporaryDir dir;
    state.appPath = dir.path() + QLatin1Char('/');
    ScriptedDialogs dialogs;
    const std::unique_ptr<Printer> printer = createPrinter(state, dialogs);
    auto job = printer->startJob(QStringLiteral("レース履歴"));
    job->printText(QStringLiteral("x"));
    job->endJob();
    QCOMPARE(dialogs.shown().size(), 1);
    QVERIFY2(dialogs.lastText().contains(state.appPath + QStringLiteral("印刷/レース履歴_")),
             qPrintable(dialogs.lastText()));
}

void StartupTest::windowIconIsTheDrawnPicture_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("wholeHubPixel"); // a middle pixel lies wholly inside the hub
    QTest::newRow("16") << 16 << false;      // a pixel is 16 design units, the hub's radius 20
    QTest::newRow("32") << 32 << true;
    QTest::newRow("48") << 48 << true;
    QTest::newRow("64") << 64 << true;
    QTest::newRow("128") << 128 << true;
}

// The icon's pixels come from the build: each size must be the picture as programIcon draws it now.
void StartupTest::windowIconIsTheDrawnPicture() {
    QFETCH(int, size);
    QFETCH(bool, wholeHubPixel);
    const QImage shown = programWindowIcon()
                             .pixmap(QSize(size, size))
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(shown.size(), QSize(size, size));
    // Outside the rounded square nothing; the hub in the middle is opaque #e8ecf2.
    QCOMPARE(shown.pixel(0, 0), 0x00000000u);
    if (wholeHubPixel)
        QCOMPARE(shown.pixel(size / 2, size / 2), 0xffe8ecf2u);
    QCOMPARE(shown, programIcon(size).convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
