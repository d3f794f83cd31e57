// The printed race history: the race last picked in the window, one line per racer.

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Printing.h"
#include "history/RirekiForm.h"
#include "race/EvaluationDisplay.h"
#include "race/RaceCaptions.h"
#include "records/HistoryFields.h"
#include "shell/ErrorTrap.h"
#include "store/Recordset.h"

namespace {

struct Heading {
    int column;
    const char16_t* text;
};

// The headings do not all stand over their row items: term, birth year and birth month are offset.
constexpr Heading Headings[] = {
    {10, u"No."},  {13, u"出身"}, {20, u"期"},   {25, u"名前"}, {39, u"生年"}, {44, u"生月"},
    {49, u"生日"}, {66, u"身体"}, {73, u"感情"}, {80, u"知性"}, {86, u"順位"},
};

namespace RowColumn {
constexpr int No = 10;
constexpr int Affiliation = 13;
constexpr int Term = 19;
constexpr int Name = 25;
constexpr int BirthYear = 40;
constexpr int BirthMonth = 46;
constexpr int BirthDay = 49;
constexpr int Physical = 66;
constexpr int Emotional = 73;
constexpr int Intellectual = 80;
constexpr int Order = 86;
} // namespace RowColumn

} // namespace

void RirekiForm::Menu_Print_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        if (refusedBeforePick())
            return;
        if (m_ctx.dialogs.question(QStringLiteral("レース履歴を印刷しますか。\r\n"),
                                   QStringLiteral("レース履歴印刷")) == Dialogs::Answer::No)
            return;

        std::unique_ptr<PrintJob> job = m_ctx.printer.startJob(QStringLiteral("レース履歴"));
        job->setScaleCharacters();
        job->setColor(PrintJob::Black);

        const Recordset& race = *m_query;
        const SurveyDate date{history::fieldInt16(race, QStringLiteral("調査年")),
                              history::fieldInt16(race, QStringLiteral("調査月")),
                              history::fieldInt16(race, QStringLiteral("調査日"))};
        const QString title = surveyDateCaption(date) + QStringLiteral("  ") +
                              raceCaption(conv::valueText(race.field(QStringLiteral("競輪場名"))),
                                          history::fieldInt16(race, QStringLiteral("レースNO"))) +
                              QStringLiteral("    バイオリズム表示");

        int printed = 0;
        for (int n = 1; n <= RowCount; ++n) {
            const auto slot = [n](const QString& stem) { return history::slotField(stem, n); };
            // The race ends at its first empty slot; a racer deleted since keeps its line, with its number
            // and order only, and the racers after it still print.
            const history::SlotState state = history::slotState(race, n);
            if (state == history::SlotState::Empty)
                break;
            if (n == 1) {
                job->setColumn(10);
                job->printText(title);
                job->printLineBreak();
                job->endLine();
                for (const Heading& heading : Headings) {
                    job->setColumn(heading.column);
                    job->printText(QString::fromUtf16(heading.text));
                }
                job->printLineBreak();
                job->endLine();
            }
            job->setColumn(RowColumn::No);
            job->printNumber(n);
            if (state == history::SlotState::RacerGone) {
                job->setColumn(RowColumn::Order);
                job->printText(history::fieldText(race, slot(QStringLiteral("結果"))));
                job->printLineBreak();
                job->endLine();
                ++printed;
                continue;
            }
            const qint16 affiliationId = history::fieldInt16(race, slot(QStringLiteral("所属ID")));
            const bio::Evaluations values = history::slotEvaluations(race, n);
            job->setColumn(RowColumn::Affiliation);
            job->printText(conv::valueText(ShozokuMei(affiliationId)));
            job->setColumn(RowColumn::Term);
            job->printNumber(history::fieldDouble(race, slot(QStringLiteral("期"))));
            job->setColumn(RowColumn::Name);
            job->printText(history::fieldText(race, slot(QStringLiteral("名前"))));
            job->setColumn(RowColumn::BirthYear);
            job->printNumber(history::fieldDouble(race, slot(QStringLiteral("生年"))));
            job->setColumn(RowColumn::BirthMonth);
            job->printNumber(history::fieldDouble(race, slot(QStringLiteral("生月"))));
            job->setColumn(RowColumn::BirthDay);
            job->printNumber(history::fieldDouble(race, slot(QStringLiteral("生日"))));
            job->setColumn(RowColumn::Order);
            job->printText(history::fieldText(race, slot(QStringLiteral("結果"))));
            printEvaluation(*job, RowColumn::Physical, values.physical);
            printEvaluation(*job, RowColumn::Emotional, values.emotional);
            printEvaluation(*job, RowColumn::Intellectual, values.intellectual);
            job->printLineBreak();
            job->endLine();
            job->setColor(PrintJob::Black);
            ++printed;
        }

        if (printed > 0)
            job->endJob();
        else
            m_ctx.dialogs.message(QStringLiteral("該当レコードがありません"));
    });
}
