// The program's own calls on files, for a harness linked with -Wl,--wrap=open,--wrap=write, ...: the
// engine's calls go through the recording VFS, these are the ones the store makes itself (the
// compaction's new copy, its flush and rename and the folder's flush, the upgrade's backup). Each goes
// on to the C library and is noted when it did something.

#include "harness/RecordingVfs.h"

#include <cstdarg>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" {

int __real_open(const char* path, int flags, ...);
ssize_t __real_write(int fd, const void* buffer, size_t size);
int __real_fsync(int fd);
int __real_close(int fd);
int __real_rename(const char* from, const char* to);
int __real_unlink(const char* path);

int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    const bool existed = ::access(path, F_OK) == 0;
    const int fd = __real_open(path, flags, mode);
    if (fd >= 0 && ((flags & O_ACCMODE) != O_RDONLY || (flags & O_DIRECTORY)))
        recording::fileOpened(path, fd, (flags & O_CREAT) && !existed);
    return fd;
}

ssize_t __wrap_write(int fd, const void* buffer, size_t size) {
    const off_t offset = ::lseek(fd, 0, SEEK_CUR);
    const ssize_t written = __real_write(fd, buffer, size);
    if (written > 0 && offset >= 0)
        recording::fileWritten(fd, offset, static_cast<const char*>(buffer), written);
    return written;
}

int __wrap_fsync(int fd) {
    const int rc = __real_fsync(fd);
    if (rc == 0)
        recording::fileSynced(fd);
    return rc;
}

int __wrap_close(int fd) {
    recording::fileClosed(fd);
    return __real_close(fd);
}

int __wrap_rename(const char* from, const char* to) {
    const int rc = __real_rename(from, to);
    if (rc == 0)
        recording::fileRenamed(from, to);
    return rc;
}

int __wrap_unlink(const char* path) {
    const int rc = __real_unlink(path);
    if (rc == 0)
        recording::fileRemoved(path);
    return rc;
}

} // extern "C"
