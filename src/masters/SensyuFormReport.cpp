// The racer lists of the racer master window.
#include "masters/SensyuFormReport.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Printing.h"
#include "masters/SensyuForm.h"
#include "race/RacerSearch.h"
#include "race/SearchPanel.h"
#include "shell/ReportPrinter.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <cmath>
#include <memory>

namespace sensyureport {

namespace {

// One kind of list: the field its racers share, the page head's heading (a prefix and a field of the
// first racer) and its title.
struct ListKind {
    const char16_t* keyField;
    const char16_t* headingPrefix;
    const char16_t* headingField;
    const char16_t* title;
};

constexpr ListKind keyedKinds[4] = {
    {u"所属ID", u"出身地　", u"所属名", u"競輪選手一覧表"},
    {u"登番", u"登番　", u"登番", u"競輪選手一覧表（登番別）"},
    {u"期", u"期　", u"期", u"競輪選手一覧表（期別）"},
    {u"よみがなID", u"よみがな　", u"よみがな１桁", u"競輪選手一覧表（よみがな別）"},
};

constexpr int ColHeading = 10;
constexpr int ColTitle = 40;
constexpr int ColPage = 88;

// A racer's line: each field at its column. Numbers stand right-aligned in their cells so that terms
// and numbers of any length keep a blank between them; texts that could reach the next column are cut
// by display cells to the room before it; the rest are cut or padded to a width in characters.
struct Column {
    enum Kind { Text, Cells, RightAligned, WholeNumber };
    const char16_t* field;
    const char16_t* heading;
    int headingColumn;
    int column;
    int width; // characters, or cells for Cells and RightAligned
    Kind kind;
};

constexpr Column columns[] = {
    {u"期", u"期", 9, 8, 3, Column::RightAligned},
    {u"選手ID", u"登番", 13, 12, 5, Column::RightAligned},
    {u"級", u"級", 18, 18, 2, Column::Text},
    {u"所属名", u"出身", 21, 21, 6, Column::Cells},
    {u"名前", u"名前", 28, 28, 14, Column::Cells},
    {u"よみがな", u"よみがな", 43, 43, 14, Column::Cells},
    {u"生年", u"生年", 58, 58, 4, Column::Text},
    {u"生月", u"生月", 63, 63, 4, Column::WholeNumber},
    {u"生日", u"生日", 68, 68, 4, Column::WholeNumber},
    {u"血液型名", u"血液", 73, 73, 4, Column::Text},
};

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

// "##0": a padded number prints without its blanks; a text that is no number prints as it is.
QString wholeNumberText(const QString& padded) {
    bool ok = false;
    const double value = padded.trimmed().toDouble(&ok);
    if (!ok)
        return padded;
    return QString::number(static_cast<qint64>(std::llround(value)));
}

void printPageHead(PrintJob& job, const QString& heading, const QString& title, int page) {
    job.setColumn(ColHeading);
    job.printText(heading);
    job.setColumn(ColTitle);
    job.printText(title);
    job.setColumn(ColPage);
    job.printNumber(page);
    job.printLineBreak();
    job.endLine();
    for (const Column& c : columns) {
        job.setColumn(c.headingColumn);
        job.printText(text(c.heading));
    }
    job.printLineBreak();
    job.endLine();
}

void printRacer(PrintJob& job, const Recordset& racer) {
    for (const Column& c : columns) {
        const QString value = conv::valueText(racer.field(text(c.field)));
        switch (c.kind) {
        case Column::RightAligned:
            // A number longer than its cells grows to the left, into the blank before it.
            job.setColumn(c.column + c.width - static_cast<int>(value.size()));
            job.printText(value);
            break;
        case Column::Cells:
            job.setColumn(c.column);
            job.printText(printcells::padCutCells(value, c.width));
            break;
        case Column::WholeNumber:
            job.setColumn(c.column);
            job.printText(wholeNumberText(conv::padCut(value, c.width)));
            break;
        case Column::Text:
            job.setColumn(c.column);
            job.printText(conv::padCut(value, c.width));
            break;
        }
    }
    job.endLine();
}

} // namespace

bool printRacerList(Printer& printer, Database& db, const ListRequest& request) {
    const bool keyed = request.searchMode >= 0 && request.searchMode < 4;
    QList<FieldEquals> conditions;
    QString heading = QStringLiteral("抽出テーブル一覧");
    QString title = QStringLiteral("競輪選手一覧表");
    if (keyed)
        conditions = {{text(keyedKinds[request.searchMode].keyField), request.key}};

    // Every matching racer: no row limit, and no AND condition as the searches may have had.
    std::unique_ptr<Recordset> racers = db.openRecordset(racerViewName(request.extractionMode), conditions);
    if (racers->eof()) {
        racers->close();
        return false;
    }
    if (keyed) {
        const ListKind& kind = keyedKinds[request.searchMode];
        heading = text(kind.headingPrefix) + conv::valueText(racers->field(text(kind.headingField)));
        title = text(kind.title);
    }

    std::unique_ptr<PrintJob> job = printer.startJob(QStringLiteral("競輪選手一覧表"));
    job->setScaleCharacters();
    job->setColor(PrintJob::Black);
    int page = 0;
    int linesOnPage = 0;
    for (; !racers->eof(); racers->moveNext()) {
        if (linesOnPage == 0) {
            // A new page only once a racer needs it, so no blank sheet ends the list.
            if (page > 0)
                job->newPage();
            ++page;
            printPageHead(*job, heading, title, page);
        }
        printRacer(*job, *racers);
        if (++linesOnPage >= SensyuForm::ReportLinesPerPage)
            linesOnPage = 0;
    }
    job->endJob();
    racers->close();
    return true;
}

} // namespace sensyureport

void SensyuForm::SensyuPrint() {
    sensyureport::ListRequest request;
    request.searchMode = m_memory.searchMode;
    // The table the last search read, also when that search was made in an earlier opening: the window
    // opens on the racer table whatever the mode, and a list of the extraction table would otherwise
    // print every racer under the extraction list's heading.
    request.extractionMode = m_memory.searchedTable;
    switch (m_memory.searchMode) {
    case SensyuSearchMemory::Prefecture:
        request.key = m_memory.lastPrefecture;
        break;
    case SensyuSearchMemory::RegistrationNumber:
        // The number and the term are taken from their pickers as they stand now.
        request.key = conv::numericValueInt16(m_panel->comboToban()->currentText());
        break;
    case SensyuSearchMemory::Term:
        request.key = conv::numericValueInt16(m_panel->comboKi()->currentText());
        break;
    case SensyuSearchMemory::Kana:
        request.key = m_memory.lastKana;
        break;
    default:
        break;
    }
    if (!sensyureport::printRacerList(m_ctx.printer, database(), request))
        m_ctx.dialogs.message(noMatchMessage());
}
