#pragma once

#include <QStringList>

class QTextStream;

namespace cli {

// korvane-cli stats [--database PATH] [--velodrome ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD]
// [--format text|json]: the figures of the statistics window, without a window. arguments are the
// words after "stats". Returns 0 when the figures were written to out, 1 for arguments it cannot use
// and 2 for a database it cannot read, each with a message on err.
int runStatsCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace cli
