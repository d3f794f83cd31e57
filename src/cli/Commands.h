#pragma once

#include <QString>
#include <QStringList>

// korvane-cli: the windows' CSV transfers and a database check for scripts. Results go to standard
// output in UTF-8, messages to standard error in Japanese.
namespace cli {

// Exit statuses.
constexpr int Done = 0;     // written, exported, or sound
constexpr int Rejected = 1; // rows of the file were rejected (nothing written), or the check found faults
constexpr int Unusable = 2; // the arguments, the file or the database could not be used

// The options a command may be given, from the command line.
struct Options {
    QStringList arguments; // after the command's name
    QString database;      // the database file
    bool dryRun = false;
};

// Runs the command line (the program's name first) and returns the exit status.
int run(const QStringList& commandLine);

// The commands, one function each.
int exportTable(const Options& options);
int importTable(const Options& options);
int checkDatabase(const Options& options);

} // namespace cli
