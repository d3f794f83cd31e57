#include "race/RaceCaptions.h"
#include "core/AppState.h"

#include <QTest>

class RaceCaptionsTest : public QObject {
    Q_OBJECT

private slots:
    void captions();
};

void RaceCaptionsTest::captions() {
    QCOMPARE(surveyDateCaption(SurveyDate{1999, 12, 8}), QStringLiteral("調査日： 1999. 12. 8"));
    QCOMPARE(surveyDateCaption(SurveyDate{2001, 0, -3}), QStringLiteral("調査日： 2001. 0.-3"));
    QCOMPARE(raceCaption(QStringLiteral("青森"), 5), QStringLiteral("青森競輪  第5レース"));
    QCOMPARE(raceCaption(QString(), 0), QStringLiteral("競輪  第0レース"));
}

QTEST_APPLESS_MAIN(RaceCaptionsTest)
#include "RaceCaptionsTest.moc"
