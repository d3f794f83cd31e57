#include "race/RaceReport.h"

#include "core/AppState.h"
#include "core/Errors.h"
#include "core/Printing.h"
#include "race/EvaluationDisplay.h"
#include "race/RaceCaptions.h"
#include "records/Biorhythm.h"
#include "store/Recordset.h"

#include <memory>

namespace racereport {

namespace {

// Columns of the printed table.
constexpr int ColNo = 10;
constexpr int ColAffiliation = 13;
constexpr int ColTerm = 21;
constexpr int ColName = 26;
constexpr int ColBirthYear = 40;
constexpr int ColBirthMonth = 46;
constexpr int ColBirthDay = 52;
constexpr int ColBloodType = 58;
constexpr int ColPhysical = 66;
constexpr int ColEmotional = 76;
constexpr int ColIntellectual = 86;

void printHead(PrintJob& job, const AppState& state) {
    job.setColumn(ColNo);
    job.printText(reportTitle(state));
    job.printLineBreak();
    job.endLine();
    const std::pair<int, const char16_t*> headings[] = {{ColNo, u"No."},
                                                        {ColAffiliation, u"所属"},
                                                        {ColTerm, u"期"},
                                                        {ColName, u"名前"},
                                                        {ColBirthYear, u"生年"},
                                                        {ColBirthMonth, u"生月"},
                                                        {ColBirthDay, u"生日"},
                                                        {ColBloodType, u"血液型"},
                                                        {ColPhysical, u"身体評価"},
                                                        {ColEmotional, u"感情評価"},
                                                        {ColIntellectual, u"知性評価"}};
    for (const auto& [column, text] : headings) {
        job.setColumn(column);
        job.printText(QString::fromUtf16(text));
    }
    job.printLineBreak();
    job.endLine();
}

} // namespace

int raceRowCount(const AppState& state) {
    int count = 0;
    while (count < AppState::RaceSlotCount && !state.selectedPersons[count].affiliation.isEmpty())
        ++count;
    return count;
}

bio::Evaluations evaluationsOf(const AppState& state, const PersonSlot& person) {
    const SurveyDate& d = state.surveyDate;
    return bio::EvaluateDay(
        bio::ElapsedDays(d.year, d.month, d.day, person.birthYear, person.birthMonth, person.birthDay));
}

QString reportTitle(const AppState& state) {
    return surveyDateCaption(state.surveyDate) + QStringLiteral("  ") +
           raceCaption(state.surveyVenue, state.surveyRaceNo) + QStringLiteral("    バイオリズム表示");
}

bool printRaceTable(Printer& printer, const AppState& state) {
    const int rows = raceRowCount(state);
    if (rows == 0)
        return false;
    std::unique_ptr<PrintJob> job = printer.startJob(QStringLiteral("レースバイオリズム表"));
    job->setScaleCharacters();
    job->setColor(PrintJob::Black);
    for (int slot = 0; slot < rows; ++slot) {
        if (slot == 0)
            printHead(*job, state);
        const PersonSlot& person = state.selectedPersons[slot];
        printRaceRow(*job, slot, person, evaluationsOf(state, person));
    }
    job->endJob();
    return true;
}

void printRaceRow(PrintJob& job, int slot, const PersonSlot& person, const bio::Evaluations& values) {
    job.setColumn(ColNo);
    job.printNumber(slot + 1);
    job.setColumn(ColAffiliation);
    job.printText(person.affiliation);
    job.setColumn(ColTerm);
    job.printNumber(person.term);
    job.setColumn(ColName);
    job.printText(person.name);
    job.setColumn(ColBirthYear);
    job.printNumber(person.birthYear);
    job.setColumn(ColBirthMonth);
    job.printNumber(person.birthMonth);
    job.setColumn(ColBirthDay);
    job.printNumber(person.birthDay);
    job.setColumn(ColBloodType);
    job.printText(person.bloodType);
    printEvaluation(job, ColPhysical, values.physical);
    printEvaluation(job, ColEmotional, values.emotional);
    printEvaluation(job, ColIntellectual, values.intellectual);
    job.printLineBreak();
    job.endLine();
    job.setColor(PrintJob::Black);
}

void addRaceHistory(Recordset& history, const AppState& state, const QVariant& velodromeId) {
    // Only the racers the table shows are stored: a slot past them may still hold the ID of a racer
    // from an earlier pick, which must not become part of this race.
    const int rows = raceRowCount(state);
    history.addNew();
    try {
        history.setField(QStringLiteral("調査年"), int(state.surveyDate.year));
        history.setField(QStringLiteral("調査月"), int(state.surveyDate.month));
        history.setField(QStringLiteral("調査日"), int(state.surveyDate.day));
        history.setField(QStringLiteral("競輪場ID"), velodromeId);
        history.setField(QStringLiteral("レースNO"), int(state.surveyRaceNo));
        for (int slot = 0; slot < AppState::RaceSlotCount; ++slot) {
            const int racerId = slot < rows ? state.selectedPersons[slot].racerId : 0;
            history.setField(QStringLiteral("選手") + QString::number(slot + 1), racerId);
        }
        history.update();
    } catch (const KorvaneError&) {
        if (history.isEditing())
            history.cancelUpdate();
        throw;
    }
}

} // namespace racereport
