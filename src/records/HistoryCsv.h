#pragma once

#include <QByteArray>
#include <QStringList>

struct AppContext;
class Database;
class Recordset;

namespace records {

// The heading of the history file: survey date, velodrome, race number, then for each of the nine
// slots the racer's 選手ID, name, three evaluations and finishing order.
QStringList historyCsvHeader();

// Every race of Q_レース履歴, one line each in the query's order, the evaluations as the history
// window shows them for the race's survey date. An empty slot gives empty fields; a racer since
// deleted keeps his 選手ID and finishing order.
QByteArray historyCsv(Recordset& races);

// "CSV出力": asks for a file and writes every stored race to it, through a record set of its own
// (the window's set stays on the race it shows).
void exportHistoryCsv(AppContext& ctx, Database& db);

} // namespace records
