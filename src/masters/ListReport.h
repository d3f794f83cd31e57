#pragma once

#include <QList>
#include <QString>

class Database;
class Dialogs;
class Printer;

namespace masters {

// A list report of the maintenance windows: every record of a set, one line each, under a page head
// of title, page number and column headings, 61 records to a page.
struct ListReport {
    struct Heading {
        int column;
        QString text;
    };
    // A field cut or padded with blanks to width characters, or to width display cells where a
    // full-width text must stop before the next column.
    struct Field {
        enum Unit { Characters, Cells };
        int column;
        QString name;
        int width;
        Unit unit = Characters;
    };

    QString title;
    QString source; // the table or saved query listed, in its own order
    QList<Heading> headings;
    QList<Field> fields;
};

// Prints the report from a record set of its own on the window's database (null when it could not be
// opened), so the record the window shows stays where it is. Nothing to print is "該当レコードがありません"
// and no ended job; any error on the way is "プリンタに問題があります。" and the job is not ended.
// Returns true when the job was ended.
bool printListReport(Printer& printer, Dialogs& dialogs, Database* db, const ListReport& report);

} // namespace masters
