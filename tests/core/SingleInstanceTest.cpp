#include "core/SingleInstance.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Starts the program (its unattended build, whose message boxes go to standard error) on the offscreen
// platform with its own runtime directory, so that only the copies of this test see each other's lock.
std::unique_ptr<QProcess> startKorvane(const QString& runtimeDir) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    process->setProcessEnvironment(env);
    process->start(testsupport::builtBinDir() + QStringLiteral("/korvane_unattended"), {});
    return process;
}

QString lockPath(const QString& runtimeDir) {
    return runtimeDir + QStringLiteral("/korvane.lock");
}

// The first copy is up once its lock file names it.
bool waitForLock(const QString& runtimeDir, qint64 pid) {
    QFile file(lockPath(runtimeDir));
    for (int i = 0; i < 100; ++i) {
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray owner = file.readLine().trimmed();
            file.close();
            if (owner == QByteArray::number(pid))
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

std::unique_ptr<QTemporaryDir> privateRuntimeDir() {
    auto dir = std::make_unique<QTemporaryDir>();
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

const QString secondCopyMessage = QStringLiteral("コルヴァンは複数起動出来ません。");

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void lockIsExclusive();
    void deadOwnersLockIsTakenOver();
    void defaultPathIsPerUser();
    void secondCopyEndsWhileFirstRuns();
    void killedCopyDoesNotBlockNextStart();
    void leftoverLockFileIsStale_data();
    void leftoverLockFileIsStale();
    void liveHolderInAnotherProcess();
    void lockFolderIsPerUserWithoutUser();
    void foreignLockFolderIsItsOwnMessage();
};

void SingleInstanceTest::lockIsExclusive() {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/korvane.lock");
    {
        SingleInstance first(path);
        QVERIFY(first.acquire());
        QVERIFY(first.acquire()); // asking again keeps it
        SingleInstance second(path);
        QVERIFY(!second.acquire());
        QVERIFY(!second.isHeld());
        // A copy that has been running for an hour still holds its lock.
        QFile lock(path);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(
            lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lock.close();
        SingleInstance later(path);
        QVERIFY(!later.acquire());
    }
    // Once the first copy has ended, the next one starts.
    SingleInstance third(path);
    QVERIFY(third.acquire());
}

void SingleInstanceTest::deadOwnersLockIsTakenOver() {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/korvane.lock");
    // A lock left by a copy whose process no longer exists.
    QProcess gone;
    gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(deadPid) + "\nkorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    file.close();
    SingleInstance next(path);
    QVERIFY(next.acquire());
}

void SingleInstanceTest::defaultPathIsPerUser() {
    const QString path = SingleInstance::defaultLockPath();
    QVERIFY(path.endsWith(QStringLiteral(".lock")));
    QVERIFY(QFileInfo(path).dir().exists());
}

void SingleInstanceTest::secondCopyEndsWhileFirstRuns() {
    const auto runtime = privateRuntimeDir();
    auto first = startKorvane(runtime->path());
    QVERIFY(first->waitForStarted());
    QVERIFY2(waitForLock(runtime->path(), first->processId()), "the first copy took the lock");

    auto second = startKorvane(runtime->path());
    QVERIFY(second->waitForStarted());
    QVERIFY2(second->waitForFinished(15000), "the second copy ends by itself");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(second->readAllStandardError()).contains(secondCopyMessage));

    QTest::qWait(300);
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(!QString::fromLocal8Bit(first->readAllStandardError()).contains(secondCopyMessage));
    first->kill();
    QVERIFY(first->waitForFinished());
}

void SingleInstanceTest::killedCopyDoesNotBlockNextStart() {
    const auto runtime = privateRuntimeDir();
    auto first = startKorvane(runtime->path());
    QVERIFY(first->waitForStarted());
    QVERIFY(waitForLock(runtime->path(), first->processId()));
    first->kill(); // SIGKILL: no chance to remove the lock file
    QVERIFY(first->waitForFinished());
    QVERIFY(QFileInfo::exists(lockPath(runtime->path())));

    auto next = startKorvane(runtime->path());
    QVERIFY(next->waitForStarted());
    QVERIFY2(waitForLock(runtime->path(), next->processId()), "the next copy took over the stale lock");
    QVERIFY(!next->waitForFinished(1000));
    QCOMPARE(next->state(), QProcess::Running);
    QVERIFY(!QString::fromLocal8Bit(next->readAllStandardError()).contains(secondCopyMessage));
    next->kill();
    QVERIFY(next->waitForFinished());
}

// Whatever a lock file holds, only a live copy holding the lock refuses a start.
void SingleInstanceTest::leftoverLockFileIsStale_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("mode");
    QTest::newRow("empty") << QByteArray() << 0600;
    QTest::newRow("garbage") << QByteArray("\x01\xff\xfe not a lock \n\n\n", 19) << 0600;
    QTest::newRow("dead process of another host")
        << QByteArray("4242\nkorvane\nother-host.example\n") << 0600;
    QTest::newRow("this process on another host") << QByteArray::number(QCoreApplication::applicationPid()) +
                                                         QByteArray("\nkorvane\nother-host.example\n")
                                                  << 0600;
    QTest::newRow("unreadable") << QByteArray("1\nkorvane\nhost\n") << 0000;
}

void SingleInstanceTest::leftoverLockFileIsStale() {
    QFETCH(QByteArray, content);
    QFETCH(int, mode);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/korvane.lock");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
    SingleInstance next(path);
    QCOMPARE(next.tryAcquire(), SingleInstance::Outcome::Acquired);
    QVERIFY(next.isHeld());
    // It is held now: another copy is refused.
    SingleInstance other(path);
    QCOMPARE(other.tryAcquire(), SingleInstance::Outcome::Running);
}

void SingleInstanceTest::liveHolderInAnotherProcess() {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/korvane.lock");
    QProcess holder;
    // --no-fork: the process that holds the lock is the one killed below.
    holder.start(QStringLiteral("flock"),
                 {QStringLiteral("--no-fork"), path, QStringLiteral("sleep"), QStringLiteral("30")});
    QVERIFY(holder.waitForStarted());
    bool refused = false;
    for (int i = 0; i < 100 && !refused; ++i) {
        SingleInstance probe(path);
        refused = probe.tryAcquire() == SingleInstance::Outcome::Running;
        if (!refused)
            QTest::qWait(50);
    }
    QVERIFY2(refused, "the holder took the lock");
    SingleInstance second(path);
    QCOMPARE(second.tryAcquire(), SingleInstance::Outcome::Running);
    QVERIFY(second.failureMessage().isEmpty());
    holder.kill();
    QVERIFY(holder.waitForFinished());
    QCOMPARE(second.tryAcquire(), SingleInstance::Outcome::Acquired);
}

// Without USER or a runtime directory the lock still lives in a folder of this user's own, never
// in a file of the shared temporary folder that another user's copy could leave behind.
void SingleInstanceTest::lockFolderIsPerUserWithoutUser() {
    QTemporaryDir temp;
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
    const QByteArray oldTemp = qgetenv("TMPDIR");
    const QByteArray oldUser = qgetenv("USER");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qunsetenv("USER");
    qunsetenv("XDG_RUNTIME_DIR");
    // A runtime folder another user made first, as Qt's fallback would use it.
    const QString foreign = temp.path() + QStringLiteral("/runtime-root");
    if (::geteuid() == 0) {
        QVERIFY(QDir().mkdir(foreign));
        QCOMPARE(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
    }
    const QString path = SingleInstance::defaultLockPath();
    qputenv("USER", "someone-else");
    const QString samePath = SingleInstance::defaultLockPath();
    qputenv("TMPDIR", oldTemp);
    qputenv("USER", oldUser);
    if (!oldRuntime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    if (oldTemp.isEmpty())
        qunsetenv("TMPDIR");

    QCOMPARE(samePath, path);
    const QString folder = QFileInfo(path).absolutePath();
    QVERIFY2(folder != temp.path(), qPrintable(path));
    QVERIFY2(folder.startsWith(temp.path() + QLatin1Char('/')), qPrintable(path));
    SingleInstance instance(path);
    QCOMPARE(instance.tryAcquire(), SingleInstance::Outcome::Acquired);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_uid, ::geteuid());
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
}

// A lock folder that belongs to someone else is not "another copy is running".
void SingleInstanceTest::foreignLockFolderIsItsOwnMessage() {
    if (::geteuid() != 0)
        QSKIP("only root can give a folder to another user here");
    QTemporaryDir temp;
    const QString folder = temp.path() + QStringLiteral("/korvane-0");
    QVERIFY(QDir().mkdir(folder));
    QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    SingleInstance instance(folder + QStringLiteral("/korvane.lock"));
    QCOMPARE(instance.tryAcquire(), SingleInstance::Outcome::Failed);
    QVERIFY(!instance.isHeld());
    QVERIFY2(instance.failureMessage().contains(folder), qPrintable(instance.failureMessage()));
    QVERIFY(!instance.failureMessage().contains(secondCopyMessage));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
