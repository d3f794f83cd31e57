#pragma once

#include <QString>

// One running copy per user: a lock file in a folder of the user's own (the runtime directory, or
// korvane-<uid> in the temporary directory), held with a kernel lock for as long as the copy runs.
// The kernel lets go of it when the holder ends in any way, so a lock file left behind, empty,
// unreadable or naming a process of another host, never blocks a start: only a live holder does.
class SingleInstance {
public:
    enum class Outcome {
        Acquired, // this copy now holds the lock
        Running,  // another live copy holds it
        Failed,   // the lock file or its folder cannot be used; see failureMessage()
    };

    explicit SingleInstance(const QString& lockPath = defaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Outcome tryAcquire();
    // True when this copy now holds the lock (it keeps it until it ends).
    bool acquire() { return tryAcquire() == Outcome::Acquired; }
    bool isHeld() const { return m_fd >= 0; }
    // After Failed: what went wrong, in Japanese, naming the file or folder.
    QString failureMessage() const { return m_failure; }

    // XDG_RUNTIME_DIR/korvane.lock, or <temp>/korvane-<uid>/korvane.lock without a runtime directory.
    static QString defaultLockPath();

private:
    bool prepareFolder();
    Outcome fail(const QString& message);

    QString m_path;
    QString m_failure;
    int m_fd = -1;
};
