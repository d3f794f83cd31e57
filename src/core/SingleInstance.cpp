#include "core/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(lockPath) {
    // A lock is stale only when its owner is gone, never because of its age: the first copy may
    // run all day.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (!m_held)
        m_held = m_lock.tryLock(0);
    return m_held;
}

QString SingleInstance::defaultLockPath() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/korvane.lock");
    // The temporary directory is shared by all users: the name keeps one lock per user.
    return QDir::tempPath() + QStringLiteral("/korvane-") + qEnvironmentVariable("USER") +
           QStringLiteral(".lock");
}
