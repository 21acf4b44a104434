#include "TestSupport.h"

#include <QtTest>

class StoreCrashTest : public QObject {
    Q_OBJECT
private slots:
    // A child saving over and over is killed at random moments: the database
    // and its backup must each hold the old or the new collection, whole.
    void killedSaveLeavesOldOrNewCollection() {
        ProgramFolderFixture folder(false);
        TestItem coin{{"txtCatalogNumber", "A"}};
        for (int k = 0; k < 30; ++k) {
            coin.push_back({"txtDetail" + QString::number(k), "a detail of the coin"});
        }
        const QByteArray a = databaseText(std::vector<TestItem>(3000, coin));
        QByteArray b = a;
        b[a.indexOf("=A") + 1] = 'B'; // the child flips item 1 between the two
        folder.write(kDatabase, a);
        int killedMidWrite = 0;
        for (int run = 0; run < 100; ++run) {
            QElapsedTimer timer;
            timer.start();
            QProcess child;
            child.start(QStringLiteral(SAVE_CHILD_PATH), {folder.folder()});
            // Killed within about as long again as it took to load and save once.
            QVERIFY(child.waitForReadyRead(30000));
            QThread::usleep(QRandomGenerator::global()->bounded(quint32(timer.elapsed() * 1000)));
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            killedMidWrite +=
                folder.exists(kDatabase + ".tmp") || folder.exists(kDatabase + "backup.tmp");
            for (const QString& file : {kDatabase, kDatabase + "backup"}) {
                const QByteArray bytes = folder.read(file);
                QVERIFY2(bytes == a || bytes == b, qPrintable(file));
            }
        }
        // Kills that all landed between two writes would prove nothing.
        QVERIFY(killedMidWrite > 0);
        QVERIFY(!folder.exists("corvantheil.Err"));
    }
};

QTEST_GUILESS_MAIN(StoreCrashTest)
#include "store_crash_test.moc"
