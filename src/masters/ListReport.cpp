#include "masters/ListReport.h"

#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Printing.h"
#include "shell/ReportPrinter.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <new>

namespace masters {

namespace {

constexpr int TitleColumn = 30;
constexpr int PageNumberColumn = 60;
constexpr int LinesPerPage = 61;

void printPageHead(PrintJob& job, const ListReport& report, int page) {
    job.setColumn(TitleColumn);
    job.printText(report.title);
    job.setColumn(PageNumberColumn);
    job.printNumber(page);
    job.printLineBreak();
    job.endLine();
    for (const ListReport::Heading& heading : report.headings) {
        job.setColumn(heading.column);
        job.printText(heading.text);
    }
    job.printLineBreak();
    job.endLine();
}

} // namespace

bool printListReport(Printer& printer, Dialogs& dialogs, Database* db, const ListReport& report) {
    try {
        if (!db)
            throw KorvaneError(ErrorNumber::StoreFailure, programErrorSource(),
                               QStringLiteral("データベースが開かれていません。"));
        std::unique_ptr<Recordset> set = db->openRecordset(report.source);
        std::unique_ptr<PrintJob> job = printer.startJob(report.title);
        job->setScaleCharacters();
        job->setColor(PrintJob::Black);

        int printed = 0;
        int linesOnPage = 0;
        int page = 0;
        if (!(set->bof() && set->eof()))
            set->moveFirst();
        for (; !set->eof(); set->moveNext()) {
            if (linesOnPage == 0)
                printPageHead(*job, report, ++page);
            for (const ListReport::Field& field : report.fields) {
                const QString value = conv::valueText(set->field(field.name));
                job->setColumn(field.column);
                job->printText(field.unit == ListReport::Field::Cells
                                   ? printcells::padCutCells(value, field.width)
                                   : conv::padCut(value, field.width));
            }
            job->endLine();
            ++printed;
            if (++linesOnPage >= LinesPerPage) {
                job->newPage();
                linesOnPage = 0;
            }
        }
        set->close();

        if (printed == 0) {
            dialogs.message(QStringLiteral("該当レコードがありません"));
            return false;
        }
        job->endJob();
        return true;
    } catch (const KorvaneError&) {
        dialogs.message(QStringLiteral("プリンタに問題があります。"));
    } catch (const std::bad_alloc&) {
        dialogs.message(QStringLiteral("プリンタに問題があります。"));
    }
    return false;
}

} // namespace masters
