#include "app/Launch.h"

#include <QDateTime>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A launch_child on one folder.
class Child {
public:
    explicit Child(const QString& folder) {
        m_process.start(QStringLiteral(LAUNCH_CHILD_PATH), {QStringLiteral("--folder"), folder});
    }
    ~Child() {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool running() {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                return false;
            }
        }
        return m_process.readLine() == "running\n";
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// Every entry below the folder with its size, time and bytes.
QStringList tree(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QFile f(info.filePath());
        const QByteArray bytes = info.isFile() && f.open(QIODevice::ReadOnly) ? f.readAll() : "";
        entries << QStringLiteral("%1 %2 %3 %4")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch())
                       .arg(QString::fromLatin1(bytes.toHex()));
    }
    entries.sort();
    return entries;
}

} // namespace

class CollectionLockTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartOnAHeldFolderChangesNothing() {
        QTemporaryDir root;
        const QString folder = root.filePath("coins");
        const QString lock = folder + u'/' + app::kLockFileName;
        auto first = std::make_unique<Child>(folder);
        QVERIFY(first->running());
        for (const char* made : {"_reports", "_data", "_data/_userImages"}) {
            QVERIFY(QFileInfo(folder + u'/' + QLatin1String(made)).isDir());
        }
        // Held for an hour by now: a living holder is never taken for stale.
        QFile lockFile(lock);
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        lockFile.close();
        const QStringList before = tree(root.path());

        QProcess second;
        second.start(QStringLiteral(LAUNCH_CHILD_PATH), {QStringLiteral("--folder"), folder});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), app::kExitRefused);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        const QString said = QString::fromLocal8Bit(second.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("open in Corvantheil already:\n\n") + folder),
                 qPrintable(said));
        QCOMPARE(tree(root.path()), before);

        first->process().closeWriteChannel();
        QVERIFY(first->process().waitForFinished(30000));
        QCOMPARE(first->process().exitCode(), 0);
        QVERIFY(!QFile::exists(lock));
        Child third(folder);
        QVERIFY(third.running());
    }

    void lockOfAKilledRunIsTakenOver() {
        QTemporaryDir root;
        const QString folder = root.filePath("coins");
        {
            Child killed(folder);
            QVERIFY(killed.running());
            killed.process().kill();
            QVERIFY(killed.process().waitForFinished(30000));
        }
        QVERIFY(QFile::exists(folder + u'/' + app::kLockFileName));
        Child next(folder);
        QVERIFY(next.running());
    }

    void twoFoldersRunSideBySide() {
        QTemporaryDir root;
        Child first(root.filePath("coins"));
        Child second(root.filePath("banknotes"));
        QVERIFY(first.running());
        QVERIFY(second.running());
    }
};

QTEST_GUILESS_MAIN(CollectionLockTest)
#include "collection_lock_test.moc"
