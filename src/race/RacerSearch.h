#pragma once

#include "core/AppState.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Dialogs;

// The choices the searches remember while the program runs, also across closing and reopening the
// search windows: the program owns one and hands it to them.
struct RacerSearchChoices {
    qint16 term = 0;               // last term chosen in the term picker
    qint16 registrationNumber = 0; // last registration number chosen
    qint16 prefecture = 0;         // last prefecture button pressed (its 所属ID)
};

enum class SearchKind { Term, RegistrationNumber, Kana, Prefecture, WholeTable };

// One search: its kind, its key value and, for the term and prefecture searches with the AND box
// checked, the other choice that narrows it.
struct SearchRequest {
    SearchKind kind = SearchKind::WholeTable;
    qint16 key = 0;
    bool combined = false;
    qint16 otherKey = 0;

    static SearchRequest term(qint16 term, bool combined, qint16 prefecture);
    static SearchRequest registrationNumber(qint16 number);
    static SearchRequest kana(qint16 kanaIndex);
    static SearchRequest prefecture(qint16 prefecture, bool combined, qint16 term);
    static SearchRequest wholeTable();
};

// The result of the last search: the lines of the search list and, row for row, the racer values
// a pick copies into a person slot.
struct SearchResults {
    static constexpr int MaxRows = 501;

    QStringList lines;
    QList<PersonSlot> rows;

    int size() const { return static_cast<int>(lines.size()); }
    void clear();
};

enum class SearchOutcome {
    Listed,    // every matching row is listed
    Overflow,  // 501 rows listed and the rest left out
    NoMatch,   // the list was emptied: nothing matches
    EmptyTable // the whole-table listing found no rows; the old list stays
};

// The racer view the searches read: Q_選手抽出 in extraction mode, Q_選手 otherwise.
QString racerViewName(qint16 extractionMode);

// The row conditions of a search as field equalities (none for the whole table).
QList<FieldEquals> searchConditions(const SearchRequest& request);

// Opens the racer view for a search, holding only the rows its conditions select, and no more of
// them than a search lists: the overflow message follows the 501st row whether or not more exist.
inline std::unique_ptr<Recordset> openRacerSource(Database& db, qint16 extractionMode,
                                                  const SearchRequest& request) {
    return db.openRecordset(racerViewName(extractionMode), searchConditions(request), SearchResults::MaxRows);
}

// Walks the source from its first row to its end and lists every row that meets the search's conditions
// (a source already narrowed to them passes every row). At most 501 rows are listed. A row that cannot
// be shown or stored (a null other than the term, or a number beyond 16 bits) raises the error; the rows
// listed before it stay in results.
SearchOutcome listRacers(Recordset& source, const SearchRequest& request, SearchResults& results);

// The search-list line of the current row: 所属名, four blanks after a two-character name and one
// otherwise, 選手ID, two blanks, 期 (empty for a racer without a term), two blanks, 名前.
QString racerRowText(const Recordset& row);

// The slot values of the current row: texts padded to 6 and 22 characters, numbers in 16 bits, term 0
// for a racer without a term.
PersonSlot racerRowSlot(const Recordset& row);

// A whole search: lists the source's rows, has show() put the list on screen, then shows the outcome's
// message. A row that cannot be listed raises its error after the rows before it are shown.
void listAndShow(Recordset& source, const SearchRequest& request, SearchResults& results, Dialogs& dialogs,
                 const std::function<void()>& show);

// The messages a search shows for its outcome (empty when nothing is shown).
QString overflowMessage(SearchKind kind);
QString noMatchMessage();
QString outcomeMessage(SearchKind kind, SearchOutcome outcome);
