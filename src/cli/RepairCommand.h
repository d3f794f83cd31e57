#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace cli {

// The values of the database that the current rules refuse (a file of an earlier version that cannot
// be brought up to date because of them), one line each; none for a sound file. Raises the store's
// error for a file that cannot be read.
QStringList refusedValueLines(const QString& databasePath);

// korvane-cli repair [--database PATH] [--yes]: lists the values the current rules refuse and, with
// --yes, stores them as unknown (null) after a copy of the file as it was, saying which. Without
// --database, Korvane.mdb beside the program. Returns 0 when repaired or nothing needed repair, 1 when
// refused (a key among the values) or not confirmed, 2 when the arguments or the database are unusable.
int runRepairCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace cli
