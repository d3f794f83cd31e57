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

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
