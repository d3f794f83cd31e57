#include "harness/RecordingVfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace recording {

namespace {

constexpr int FolderFd = -2;

struct State {
    bool on = false;
    QString folder; // canonical, without the trailing separator
    Recording record;
    QHash<QString, int> current; // the folder's names as they are now
    int nextFile = 0;
    int acks = 0;
    QHash<int, int> fds; // the program's own descriptors: fd -> file, or FolderFd
    QString failName;
    int failCode = SQLITE_OK;
};

State& state() {
    static State s;
    return s;
}

// The name of path within the recorded folder, or an empty one for a path elsewhere.
QString nameIn(const char* path) {
    State& s = state();
    if (!s.on || !path)
        return {};
    const QString full = QString::fromUtf8(path);
    if (!full.startsWith(s.folder + QLatin1Char('/')))
        return {};
    const QString name = full.mid(s.folder.size() + 1);
    return name.contains(QLatin1Char('/')) ? QString() : name;
}

void note(Event::Kind kind, int file = -1, const QString& name = {}, const QString& newName = {}) {
    Event event;
    event.kind = kind;
    event.file = file;
    event.name = name;
    event.newName = newName;
    state().record.events.append(event);
}

void noteData(Event::Kind kind, int file, qint64 offset, const QByteArray& data = {}) {
    Event event;
    event.kind = kind;
    event.file = file;
    event.offset = offset;
    event.data = data;
    state().record.events.append(event);
}

int createFile(const QString& name) {
    State& s = state();
    const int file = s.nextFile++;
    s.current.insert(name, file);
    note(Event::Create, file, name);
    return file;
}

void removeName(const QString& name) {
    state().current.remove(name);
    note(Event::Remove, -1, name);
}

// ---------------------------------------------------------------------------------------------
// The VFS: every call goes on to the default one; the changes are noted on the way back.

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_vfs;
sqlite3_io_methods g_methods;

struct File {
    sqlite3_file base;
    sqlite3_file* real; // right after this struct, in the same allocation
    const char* path;   // valid until close, as the engine promises
    int file;           // -1 for a file outside the folder or opened while not recording
    bool folderSyncPending;
};

File* fileOf(sqlite3_file* f) {
    return reinterpret_cast<File*>(f);
}
sqlite3_file* realOf(sqlite3_file* f) {
    return fileOf(f)->real;
}

bool writesFail(const File* file) {
    const State& s = state();
    return !s.failName.isEmpty() && file->path &&
           QFileInfo(QString::fromUtf8(file->path)).fileName() == s.failName;
}

int fileClose(sqlite3_file* f) {
    return realOf(f)->pMethods->xClose(realOf(f));
}
int fileRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
}
int fileWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    File* file = fileOf(f);
    if (writesFail(file))
        return state().failCode;
    const int rc = file->real->pMethods->xWrite(file->real, buffer, amount, offset);
    if (rc == SQLITE_OK && file->file >= 0 && state().on)
        noteData(Event::Write, file->file, offset, QByteArray(static_cast<const char*>(buffer), amount));
    return rc;
}
int fileTruncate(sqlite3_file* f, sqlite3_int64 size) {
    File* file = fileOf(f);
    const int rc = file->real->pMethods->xTruncate(file->real, size);
    if (rc == SQLITE_OK && file->file >= 0 && state().on)
        noteData(Event::Truncate, file->file, size);
    return rc;
}
int fileSync(sqlite3_file* f, int flags) {
    File* file = fileOf(f);
    const int rc = file->real->pMethods->xSync(file->real, flags);
    if (rc == SQLITE_OK && file->file >= 0 && state().on) {
        note(Event::Sync, file->file);
        // The default VFS flushes the folder with the first sync of a journal it created.
        if (file->folderSyncPending)
            note(Event::FolderSync);
    }
    file->folderSyncPending = false;
    return rc;
}
int fileSize(sqlite3_file* f, sqlite3_int64* size) {
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int fileLock(sqlite3_file* f, int level) {
    return realOf(f)->pMethods->xLock(realOf(f), level);
}
int fileUnlock(sqlite3_file* f, int level) {
    return realOf(f)->pMethods->xUnlock(realOf(f), level);
}
int fileCheckReserved(sqlite3_file* f, int* out) {
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int fileControl(sqlite3_file* f, int op, void* arg) {
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int fileSectorSize(sqlite3_file* f) {
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int fileCharacteristics(sqlite3_file* f) {
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}
int fileShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return realOf(f)->pMethods->xShmMap(realOf(f), page, size, extend, out);
}
int fileShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags);
}
void fileShmBarrier(sqlite3_file* f) {
    realOf(f)->pMethods->xShmBarrier(realOf(f));
}
int fileShmUnmap(sqlite3_file* f, int deleteFlag) {
    return realOf(f)->pMethods->xShmUnmap(realOf(f), deleteFlag);
}
int fileFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    return realOf(f)->pMethods->xFetch(realOf(f), offset, amount, out);
}
int fileUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
    return realOf(f)->pMethods->xUnfetch(realOf(f), offset, page);
}

int vfsOpen(sqlite3_vfs*, const char* path, sqlite3_file* f, int flags, int* outFlags) {
    File* file = fileOf(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->path = path;
    file->file = -1;
    file->folderSyncPending = false;
    const QString name = nameIn(path);
    const bool existed = state().current.contains(name);
    const int rc = g_real->xOpen(g_real, path, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &g_methods : nullptr;
    if (rc == SQLITE_OK && !name.isEmpty()) {
        file->file = existed ? state().current.value(name) : createFile(name);
        file->folderSyncPending =
            (flags & SQLITE_OPEN_CREATE) &&
            (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL));
    }
    return rc;
}
int vfsDelete(sqlite3_vfs*, const char* path, int syncFolder) {
    const int rc = g_real->xDelete(g_real, path, syncFolder);
    const QString name = nameIn(path);
    if (rc == SQLITE_OK && !name.isEmpty()) {
        removeName(name);
        if (syncFolder)
            note(Event::FolderSync);
    }
    return rc;
}
int vfsAccess(sqlite3_vfs*, const char* path, int flags, int* out) {
    return g_real->xAccess(g_real, path, flags, out);
}
int vfsFullPathname(sqlite3_vfs*, const char* path, int size, char* out) {
    return g_real->xFullPathname(g_real, path, size, out);
}
void* vfsDlOpen(sqlite3_vfs*, const char* path) {
    return g_real->xDlOpen(g_real, path);
}
void vfsDlError(sqlite3_vfs*, int size, char* out) {
    g_real->xDlError(g_real, size, out);
}
void (*vfsDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return g_real->xDlSym(g_real, handle, symbol);
}
void vfsDlClose(sqlite3_vfs*, void* handle) {
    g_real->xDlClose(g_real, handle);
}
int vfsRandomness(sqlite3_vfs*, int size, char* out) {
    return g_real->xRandomness(g_real, size, out);
}
int vfsSleep(sqlite3_vfs*, int microseconds) {
    return g_real->xSleep(g_real, microseconds);
}
int vfsCurrentTime(sqlite3_vfs*, double* out) {
    return g_real->xCurrentTime(g_real, out);
}
int vfsLastError(sqlite3_vfs*, int size, char* out) {
    return g_real->xGetLastError(g_real, size, out);
}
int vfsCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return g_real->xCurrentTimeInt64(g_real, out);
}

void install() {
    if (g_real)
        return;
    g_real = sqlite3_vfs_find(nullptr);
    g_methods = {3,
                 fileClose,
                 fileRead,
                 fileWrite,
                 fileTruncate,
                 fileSync,
                 fileSize,
                 fileLock,
                 fileUnlock,
                 fileCheckReserved,
                 fileControl,
                 fileSectorSize,
                 fileCharacteristics,
                 fileShmMap,
                 fileShmLock,
                 fileShmBarrier,
                 fileShmUnmap,
                 fileFetch,
                 fileUnfetch};
    g_vfs = {};
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = static_cast<int>(sizeof(File)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = "recording";
    g_vfs.xOpen = vfsOpen;
    g_vfs.xDelete = vfsDelete;
    g_vfs.xAccess = vfsAccess;
    g_vfs.xFullPathname = vfsFullPathname;
    g_vfs.xDlOpen = vfsDlOpen;
    g_vfs.xDlError = vfsDlError;
    g_vfs.xDlSym = vfsDlSym;
    g_vfs.xDlClose = vfsDlClose;
    g_vfs.xRandomness = vfsRandomness;
    g_vfs.xSleep = vfsSleep;
    g_vfs.xCurrentTime = vfsCurrentTime;
    g_vfs.xGetLastError = vfsLastError;
    g_vfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
}

} // namespace

void makeDefault(bool on) {
    install();
    sqlite3_vfs_register(on ? &g_vfs : g_real, 1);
}

void start(const QString& folder) {
    State& s = state();
    s = State{};
    s.folder = QFileInfo(folder).canonicalFilePath();
    const QDir dir(s.folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::ReadOnly);
        const int id = s.nextFile++;
        s.record.names.insert(name, id);
        s.record.files.insert(id, file.readAll());
    }
    s.current = s.record.names;
    s.on = true;
}

Recording stop() {
    State& s = state();
    s.on = false;
    s.fds.clear();
    return std::move(s.record);
}

int acknowledge() {
    State& s = state();
    Event event;
    event.kind = Event::Ack;
    event.ack = s.acks++;
    s.record.events.append(event);
    return event.ack;
}

void failWritesTo(const QString& fileName, int code) {
    install();
    state().failName = fileName;
    state().failCode = code;
}

void fileOpened(const char* path, int fd, bool created) {
    State& s = state();
    if (!s.on)
        return;
    if (QString::fromUtf8(path) == s.folder) {
        s.fds.insert(fd, FolderFd);
        return;
    }
    const QString name = nameIn(path);
    if (name.isEmpty())
        return;
    s.fds.insert(fd, created || !s.current.contains(name) ? createFile(name) : s.current.value(name));
}

void fileWritten(int fd, qint64 offset, const char* data, qint64 size) {
    State& s = state();
    if (s.on && s.fds.value(fd, -1) >= 0)
        noteData(Event::Write, s.fds.value(fd), offset, QByteArray(data, size));
}

void fileSynced(int fd) {
    State& s = state();
    if (!s.on || !s.fds.contains(fd))
        return;
    const int file = s.fds.value(fd);
    note(file == FolderFd ? Event::FolderSync : Event::Sync, file == FolderFd ? -1 : file);
}

void fileClosed(int fd) {
    state().fds.remove(fd);
}

void fileRenamed(const char* from, const char* to) {
    State& s = state();
    const QString oldName = nameIn(from);
    const QString newName = nameIn(to);
    if (oldName.isEmpty() || newName.isEmpty())
        return;
    s.current.insert(newName, s.current.take(oldName));
    note(Event::Rename, -1, oldName, newName);
}

void fileRemoved(const char* path) {
    const QString name = nameIn(path);
    if (!name.isEmpty())
        removeName(name);
}

} // namespace recording
