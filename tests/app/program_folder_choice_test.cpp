#include "FakePlatform.h"
#include "app/Launch.h"
#include "app/ProgramFolder.h"
#include "store/AtomicFile.h"

#include <QtTest>
#include <unistd.h>

namespace {

// Every entry below a folder by its relative path, with its bytes when asked.
QStringList tree(const QString& folder, bool withBytes = false) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const bool read = withBytes && file.open(QIODevice::ReadOnly);
        entries << QDir(folder).relativeFilePath(file.fileName()) +
                       (read ? ' ' + file.readAll().toHex() : "");
    }
    entries.sort();
    return entries;
}

// The folder holds the shipped files as shipped.
bool seeded(const QString& folder) {
    const QStringList there = tree(folder, true);
    const QStringList shipped = tree(CORVANTHEIL_DATA_DIR, true);
    return std::includes(there.begin(), there.end(), shipped.begin(), shipped.end());
}

int install(const QString& prefix, const QStringList& more = {}) {
    return QProcess::execute(CMAKE_COMMAND_PATH,
                             QStringList{"--install", BUILD_DIR, "--prefix", prefix} + more);
}

// An executable's folder, shared files, a per-user folder; the seam says which are read-only.
struct Machine {
    explicit Machine(bool portable) {
        QDir().mkpath(path("exe"));
        app::copyMissingShippedFiles(CORVANTHEIL_DATA_DIR, path(portable ? "exe" : "share"));
    }
    ~Machine() { app::setProgramFolder(QString()); }
    QString path(const QString& relative) const { return root.filePath(relative); }
    std::optional<int> start(app::Launch& launch, const QStringList& arguments = {}) const {
        const auto canWrite = [this](const QString& folder) { return !readOnly.contains(folder); };
        return launch.start(QStringList{"corvantheil"} + arguments,
                            {path("exe"), path("share"), path("user"), canWrite});
    }

    QTemporaryDir root;
    QStringList readOnly;
    FakePlatform fakes;
};

} // namespace

class ProgramFolderChoiceTest : public QObject {
    Q_OBJECT
private slots:
    // The folder the program starts in, made and seeded when new; or, when it
    // cannot be used, a message naming it and nothing written.
    void startsInTheRightFolder_data() {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("readOnly");
        QTest::addColumn<int>("exitCode");   // -1: started
        QTest::addColumn<QString>("folder"); // asked for with --folder unless exe or user
        const int refused = app::kExitRefused;
        QTest::newRow("portable install") << true << "none" << -1 << "exe";
        QTest::newRow("read-only portable install") << true << "exe" << -1 << "user";
        QTest::newRow("system install run by root") << false << "none" << -1 << "user";
        QTest::newRow("new folder, two levels") << true << "none" << -1 << "coins/2024";
        QTest::newRow("below a read-only folder") << true << "exe" << refused << "exe/new";
        QTest::newRow("below a file") << true << "none" << refused << "exe/_reference/help.html/x";
    }
    void startsInTheRightFolder() {
        QFETCH(bool, portable);
        QFETCH(QString, readOnly);
        QFETCH(int, exitCode);
        QFETCH(QString, folder);
        Machine machine(portable);
        machine.readOnly << machine.path(readOnly);
        const QStringList before = tree(machine.root.path(), true);
        const QString chosen = machine.path(folder);
        app::Launch launch;
        const QStringList option{"--folder", chosen};
        const bool requested = folder != "exe" && folder != "user";
        QCOMPARE(machine.start(launch, requested ? option : QStringList()).value_or(-1), exitCode);
        if (exitCode == -1) {
            QCOMPARE(app::programFolder(), chosen);
            QVERIFY(QFile::exists(chosen + "/corvantheil.lock"));
            QCOMPARE(QFileInfo::exists(machine.path("user")), folder == "user");
            QVERIFY(seeded(chosen));
        } else {
            QCOMPARE(tree(machine.root.path(), true), before);
            QVERIFY(machine.fakes.boxes.shown.value(0).text.contains(chosen));
        }
    }

    // Once made, the per-user folder is used as it is: a file the user replaced
    // stays, only a missing one comes back.
    void secondStartReusesThePerUserFolder() {
        Machine machine(true);
        machine.readOnly << machine.path("exe");
        std::optional<app::Launch> first(std::in_place);
        QCOMPARE(machine.start(*first), std::nullopt);
        first.reset();
        QVERIFY(!QFile::exists(machine.path("user/corvantheil.lock")));
        const QString help = machine.path("user/_reference/help.html");
        const QString lost = machine.path("user/_images/noImageAvailable.jpg");
        store::writeFileAtomically(help, "mine");
        QVERIFY(QFile::remove(lost));
        app::Launch second;
        QCOMPARE(machine.start(second), std::nullopt);
        QCOMPARE(store::readWholeFile(help), "mine");
        QVERIFY(QFile::exists(lost));
    }

    // While a program holds a folder, a second start there is refused, changes
    // no file and names the folder, and another folder starts beside it; once
    // the holder is killed, the next start takes its lock over.
    void theLockKeepsASecondProgramOff() {
        Machine machine(true);
        const QString coins = machine.path("coins");
        QProcess holder;
        holder.start(CORVANTHEIL_PATH, {"--folder", coins});
        for (int i = 0; i < 300 && !QFile::exists(coins + "/_data/_userImages"); ++i) {
            QThread::msleep(100);
        }
        // Held for an hour by now: a living holder is never taken for stale.
        QCOMPARE(QProcess::execute("touch", {"-d", "1 hour ago", coins + "/corvantheil.lock"}), 0);
        const QStringList before = tree(machine.root.path(), true);
        app::Launch second;
        QCOMPARE(machine.start(second, {"--folder", coins}), app::kExitRefused);
        QCOMPARE(tree(machine.root.path(), true), before);
        QVERIFY(machine.fakes.boxes.shown.value(0).text.contains("already:\n\n" + coins));
        app::Launch beside;
        QCOMPARE(machine.start(beside, {"--folder", machine.path("banknotes")}), std::nullopt);
        // Other spellings of the folder are the same folder, and a name with
        // a blank around it is refused before anything is made.
        QVERIFY(QFile::link(coins, machine.path("link")));
        for (const QString& spelling :
             {QString(coins).replace('/', '\\'), machine.path("banknotes/../coins/"),
              machine.path("link")}) {
            app::Launch again;
            QCOMPARE(machine.start(again, {"--folder", spelling}), app::kExitRefused);
        }
        app::Launch blank;
        QCOMPARE(machine.start(blank, {"--folder", coins + " "}), app::kExitUsage);
        QVERIFY(machine.fakes.boxes.shown.back().text.contains("ends with a blank"));
        QVERIFY(!QFile::exists(coins + " "));
        holder.kill();
        QVERIFY(holder.waitForFinished());
        app::Launch next;
        QCOMPARE(machine.start(next, {"--folder", coins}), std::nullopt);
    }

    // A portable install is one folder. Installed for all users, the program keeps
    // its collection in the home of whoever runs it and writes nothing where it is.
    void installs() {
        QTemporaryDir home;
        QCOMPARE(install(home.filePath("portable"), {"--component", "portable"}), 0);
        QCOMPARE(tree(home.filePath("portable")), tree(CORVANTHEIL_DATA_DIR) << "corvantheil");
        const QString prefix = home.filePath("prefix");
        QCOMPARE(install(prefix), 0);
        QCOMPARE(tree(prefix + "/share/corvantheil"), tree(CORVANTHEIL_DATA_DIR));
        QCOMPARE(tree(prefix + "/share/icons"), tree(CORVANTHEIL_SOURCE_DIR "/desktop/icons"));
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start("desktop-file-validate",
                       {prefix + "/share/applications/corvantheil.desktop"});
        QVERIFY2(validate.waitForFinished() && validate.exitCode() == 0,
                 "desktop-file-validate missing or failing: run scripts/setup.sh");
        QCOMPARE(validate.readAll(), QByteArray());

        // Run from a prefix it cannot write by an ordinary user whose home is open to it.
        QCOMPARE(QProcess::execute("chmod", {"-R", "a-w", prefix}), 0);
        const QStringList installed = tree(prefix);
        QCOMPARE(QProcess::execute("chmod", {"a+rwx", home.path()}), 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_DATA_HOME");
        env.insert("HOME", home.path());
        QProcess program;
        program.setProcessEnvironment(env);
        const QString executable = prefix + "/bin/corvantheil";
        const QStringList asNobody{"--reuid=65534", "--regid=65534", "--clear-groups", executable};
        program.start(geteuid() == 0 ? "setpriv" : executable,
                      geteuid() == 0 ? asNobody : QStringList());
        const QString collection = home.filePath(".local/share/Corvantheil");
        for (int i = 0; i < 600 && !QFile::exists(collection + "/_data/_userImages"); ++i) {
            QThread::msleep(100);
        }
        const bool locked = QFile::exists(collection + "/corvantheil.lock");
        program.kill();
        program.waitForFinished();
        QProcess::execute("chmod", {"-R", "u+w", prefix});
        QVERIFY(locked);
        QVERIFY(seeded(collection));
        QCOMPARE(tree(prefix), installed);
    }
};

QTEST_GUILESS_MAIN(ProgramFolderChoiceTest)
#include "program_folder_choice_test.moc"
