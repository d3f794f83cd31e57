#pragma once

#include <QLockFile>
#include <QString>

// One running copy per user: a lock file in the user's runtime directory (the temporary directory
// where there is none). The lock of a copy that was killed is recognised as stale and taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath = defaultLockPath());

    // True when this copy now holds the lock (it keeps it until it ends).
    bool acquire();
    bool isHeld() const { return m_held; }

    static QString defaultLockPath();

private:
    QLockFile m_lock;
    bool m_held = false;
};
