#include "mainmenu/HelpWindow.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

namespace {

QString sourceHelpFile() {
    return qEnvironmentVariable("KORVANE_SOURCE_DIR") + QStringLiteral("/resources/help/Korvane.hlp");
}

// The help viewer of a program directory copied for the test.
struct Viewer {
    testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    AppState state;
    ScriptedDialogs dialogs;
    HelpBrowserViewer viewer{state, dialogs};
    Viewer() { state.appPath = dir.path; }
};

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void opensAtContents();
    void secondRequestReusesWindow();
    void missingFileIsReported();
    void linksReachTheirSections();
    void sectionsCoverTheProgram_data();
    void sectionsCoverTheProgram();
};

void HelpWindowTest::opensAtContents() {
    Viewer help;
    help.viewer.showContents();
    QVERIFY(help.dialogs.shown().isEmpty());
    HelpWindow* window = help.viewer.window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window->browser()->documentTitle(), QStringLiteral("コルヴァン ヘルプ"));
    const QString text = window->browser()->toPlainText();
    QVERIFY(text.contains(QStringLiteral("目次")));
    QVERIFY(text.contains(QStringLiteral("メインメニュー")));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // Centred like every other window of the program.
    QCoreApplication::processEvents();
    const QRect area = window->screen()->availableGeometry();
    const QRect whole = window->frameGeometry();
    QVERIFY(qAbs(whole.center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(whole.center().y() - area.center().y()) <= 1);
    testsupport::saveScreenshot(window, QStringLiteral("HelpWindow"));
}

void HelpWindowTest::secondRequestReusesWindow() {
    Viewer help;
    HelpBrowserViewer& viewer = help.viewer;
    viewer.showContents();
    QPointer<HelpWindow> first = viewer.window();
    // Following a link and asking for help again comes back to the contents in the same window.
    first->browser()->setSource(QUrl(QStringLiteral("#exit")));
    QVERIFY(first->browser()->verticalScrollBar()->value() > 0);
    viewer.showContents();
    QCOMPARE(viewer.window(), first.data());
    QCOMPARE(first->browser()->verticalScrollBar()->value(), 0);

    QVERIFY(first->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    viewer.showContents();
    QVERIFY(viewer.window());
    QVERIFY(viewer.window()->isVisible());
}

void HelpWindowTest::missingFileIsReported() {
    Viewer help;
    QFile::remove(help.dir.path + QStringLiteral("Korvane.hlp"));
    help.viewer.showContents();
    QVERIFY(!help.viewer.window());
    const QList<ShownBox>& shown = help.dialogs.shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().kind, ShownBox::Kind::Message);
    QVERIFY(shown.first().text.startsWith(QStringLiteral("ヘルプファイルが見つかりません。")));
    QVERIFY(shown.first().text.contains(QStringLiteral("Korvane.hlp")));
}

void HelpWindowTest::linksReachTheirSections() {
    QFile file(sourceHelpFile());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(sourceHelpFile()));
    const QString html = QString::fromUtf8(file.readAll());
    QSet<QString> anchors;
    for (const auto& match : QRegularExpression(QStringLiteral("id=\"([^\"]+)\"")).globalMatch(html))
        anchors.insert(match.captured(1));
    int links = 0;
    for (const auto& match : QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
        ++links;
        QVERIFY2(anchors.contains(match.captured(1)), qPrintable(match.captured(1)));
    }
    QVERIFY(links >= 10);
    QVERIFY(anchors.contains(QStringLiteral("contents")));
}

void HelpWindowTest::sectionsCoverTheProgram_data() {
    QTest::addColumn<QString>("phrase");
    for (const char16_t* phrase :
         {u"選手検索", u"レース履歴", u"個別調査", u"選手テーブルメンテナンス", u"競輪場テーブルメンテナンス",
          u"作者ソフト紹介", u"印刷", u"PDF", u"身体", u"感情", u"知性", u"最適化"})
        QTest::newRow(QString::fromUtf16(phrase).toUtf8().constData()) << QString::fromUtf16(phrase);
}

void HelpWindowTest::sectionsCoverTheProgram() {
    QFETCH(QString, phrase);
    QFile file(sourceHelpFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(file.readAll()).contains(phrase));
}

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
