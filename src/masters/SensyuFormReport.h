#pragma once

#include <QtGlobal>

class Database;
class Printer;

// The racer lists the racer master window prints, one kind for each kind of search.
namespace sensyureport {

struct ListRequest {
    qint16 searchMode = 0;     // 0 prefecture, 1 登番, 2 term, 3 kana, anything else the whole view
    qint16 key = 0;            // the 所属ID, 登番, 期 or よみがなID listed
    qint16 extractionMode = 0; // which racer view: 0 the racers, 1 the extraction list
};

// Prints every racer of the racer view whose key field equals the key (every racer for the whole view),
// in the view's order, 61 to a page under a page head. Starts no job and returns false when no racer
// matches. A failure on the way throws and leaves the job unended.
bool printRacerList(Printer& printer, Database& db, const ListRequest& request);

} // namespace sensyureport
