#pragma once

// A test VFS, a thin wrapper over the default one. While recording it notes, in order, every change
// the engine makes to the files of one folder: writes, truncations, syncs, new files, removals, and
// the folder syncs the default VFS makes along with them. The program's own file calls (the
// compaction's copy and rename, the upgrade's backup) reach the same record through FileCallWraps.cpp
// where a harness is linked with it. It can also make the writes to one file fail, as a full disk does.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace recording {

struct Event {
    enum Kind { Write, Truncate, Sync, Create, Remove, Rename, FolderSync, Ack };
    Kind kind = Write;
    int file = -1;     // Write, Truncate, Sync, Create: the file (not its name: a name may change)
    QString name;      // Create, Remove, Rename: the name in the folder (Rename: the old one)
    QString newName;   // Rename
    qint64 offset = 0; // Write: where; Truncate: the new size
    QByteArray data;   // Write
    int ack = -1;      // Ack: the number of the acknowledgement
};

// What the folder held when recording began, and everything done to it since.
struct Recording {
    QHash<QString, int> names;    // name -> file, as found
    QHash<int, QByteArray> files; // file -> contents, as found
    QList<Event> events;
};

// Makes the VFS the default for connections opened from now on (installed once), or gives the
// default back to the engine's own.
void makeDefault(bool on);

// Starts noting the changes to the files of folder; its files as they are now count as on disk.
void start(const QString& folder);
// Ends recording and hands over what was recorded.
Recording stop();
// Notes that the program has just reported a change as done; the number it gets is returned.
int acknowledge();

// Writes to files of this name (in any folder) fail with the engine's code from now on; an empty
// name ends this.
void failWritesTo(const QString& fileName, int code);

// For FileCallWraps.cpp: the program's own calls on files of the recorded folder.
void fileOpened(const char* path, int fd, bool created);
void fileWritten(int fd, qint64 offset, const char* data, qint64 size);
void fileSynced(int fd);
void fileClosed(int fd);
void fileRenamed(const char* from, const char* to);
void fileRemoved(const char* path);

} // namespace recording
