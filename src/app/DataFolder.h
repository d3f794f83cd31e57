#pragma once

#include <QString>

// Where a run keeps its data and finds its help text; every folder ends in '/'.
struct DataFolders {
    QString dataFolder; // Korvane.mdb, its backup and the 印刷 folder
    QString helpFolder; // Korvane.hlp
    // A Japanese message naming the data folder when it cannot be used; empty when all is well.
    QString problem;
};

// Decides once, at start-up, where the data lives. A program folder holding a writable Korvane.mdb
// is used as it is (a build tree, a copy on a USB stick). Otherwise the program is an installed one:
// its data lives in userDataFolder, which is made when missing and given a copy of the installed
// database (sharedFolder, else the program folder's own read-only one) when it holds none; a
// database already there is never replaced. The help text is read from sharedFolder when installed
// there, else from the program folder.
DataFolders chooseDataFolders(const QString& programFolder, const QString& sharedFolder,
                              const QString& userDataFolder);

// The folder an installed program's database and help text sit in, from the program's folder:
// <prefix>/share/korvane for <prefix>/bin.
QString installedSharedFolder(const QString& programFolder);
