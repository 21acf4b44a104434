#include "FakePlatform.h"
#include "app/Launch.h"
#include "app/ProgramFolder.h"

#include <QDateTime>
#include <QDirIterator>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList kShippedFiles = {"_images/corvantheil5.jpg", "_images/invalidPictureFormat.jpg",
                                   "_images/noImageAvailable.jpg", "_reference/help.html"};

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ship(const QString& to) {
    for (const QString& file : kShippedFiles) {
        QDir().mkpath(QFileInfo(to + u'/' + file).path());
        QFile::copy(QStringLiteral(CORVANTHEIL_DATA_DIR "/") + file, to + u'/' + file);
    }
}

// A scratch machine: an executable's folder, a system install's shared files
// and a home, with folders the seam reports as read-only.
class Machine {
public:
    explicit Machine(bool portable) {
        QDir().mkpath(path("exe"));
        ship(portable ? path("exe") : path("share/corvantheil"));
    }
    ~Machine() { app::setProgramFolder(QString()); }

    QString root() const { return m_root.path(); }
    QString path(const QString& relative) const { return root() + u'/' + relative; }
    // "%1" in each argument stands for the root.
    QStringList filled(QStringList arguments) const {
        for (QString& argument : arguments) {
            argument.replace(QStringLiteral("%1"), root());
        }
        return arguments;
    }
    QString perUser() const { return path("home/.local/share/Corvantheil"); }

    app::Installation installation() const {
        return {path("exe"), path("share/corvantheil"), perUser(), [this](const QString& folder) {
                    return !readOnly.contains(QDir::cleanPath(folder));
                }};
    }
    std::optional<int> start(app::Launch& launch, const QStringList& arguments) const {
        return launch.start(QStringList{"corvantheil"} + arguments, installation());
    }

    // Every entry below the root with its size and modification time.
    QStringList tree() const {
        QStringList entries;
        QDirIterator it(m_root.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            entries << QStringLiteral("%1 %2 %3")
                           .arg(info.filePath())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch());
        }
        entries.sort();
        return entries;
    }

    QSet<QString> readOnly;
    FakePlatform fakes;

private:
    QTemporaryDir m_root;
};

} // namespace

class ProgramFolderChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void startsInTheRightFolder_data() {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<bool>("exeWritable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        const QString perUser = "home/.local/share/Corvantheil";
        QTest::newRow("portable install") << true << true << QStringList() << "exe";
        QTest::newRow("read-only portable install") << true << false << QStringList() << perUser;
        QTest::newRow("system install") << false << false << QStringList() << perUser;
        QTest::newRow("system install run by root") << false << true << QStringList() << perUser;
        QTest::newRow("new folder, two levels")
            << true << true << QStringList{"--folder", "%1/coins/2024"} << "coins/2024";
        QTest::newRow("relative folder")
            << false << false << QStringList{"--folder=coins/2024"} << "coins/2024";
    }
    void startsInTheRightFolder() {
        QFETCH(bool, portable);
        QFETCH(bool, exeWritable);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        Machine machine(portable);
        if (!exeWritable) {
            machine.readOnly << machine.path("exe");
        }
        const QString current = QDir::currentPath();
        QDir::setCurrent(machine.root());
        app::Launch launch;
        const std::optional<int> exitCode = machine.start(launch, machine.filled(arguments));
        QDir::setCurrent(current);
        QCOMPARE(exitCode, std::nullopt);
        const QString folder = machine.path(expected);
        QCOMPARE(app::programFolder(), folder);
        QVERIFY(QFile::exists(folder + "/corvantheil.lock"));
        QCOMPARE(QFileInfo::exists(machine.perUser()), folder == machine.perUser());
        for (const QString& file : kShippedFiles) {
            QCOMPARE(bytes(folder + u'/' + file),
                     bytes(QStringLiteral(CORVANTHEIL_DATA_DIR "/") + file));
        }
        QVERIFY(machine.fakes.boxes.shown.isEmpty());
    }

    void secondStartReusesThePerUserFolder() {
        Machine machine(true);
        machine.readOnly << machine.path("exe");
        {
            app::Launch first;
            QCOMPARE(machine.start(first, {}), std::nullopt);
        }
        QVERIFY(!QFile::exists(machine.perUser() + "/corvantheil.lock"));
        const QString help = machine.perUser() + "/_reference/help.html";
        QFile::remove(help);
        QVERIFY(
            QFile::copy(QStringLiteral(CORVANTHEIL_DATA_DIR "/_images/corvantheil5.jpg"), help));
        const QString lost = machine.perUser() + "/_images/noImageAvailable.jpg";
        QVERIFY(QFile::remove(lost));

        app::Launch second;
        QCOMPARE(machine.start(second, {}), std::nullopt);
        QCOMPARE(app::programFolder(), machine.perUser());
        QCOMPARE(bytes(help), bytes(CORVANTHEIL_DATA_DIR "/_images/corvantheil5.jpg"));
        QCOMPARE(bytes(lost), bytes(CORVANTHEIL_DATA_DIR "/_images/noImageAvailable.jpg"));
    }

    void refusalWritesNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("named");
        QTest::newRow("below a read-only folder")
            << QStringList{"--folder", "%1/locked/new"} << app::kExitRefused << "%1/locked/new";
        QTest::newRow("read-only folder")
            << QStringList{"--folder", "%1/locked"} << app::kExitRefused << "%1/locked";
        QTest::newRow("a file") << QStringList{"--folder", "%1/notes.txt"} << app::kExitRefused
                                << "%1/notes.txt";
        QTest::newRow("below a file")
            << QStringList{"--folder=%1/notes.txt/new"} << app::kExitRefused << "%1/notes.txt/new";
        QTest::newRow("unknown option")
            << QStringList{"--colour"} << app::kExitUsage << "Unknown option 'colour'.";
        QTest::newRow("stray argument")
            << QStringList{"coins.ini"} << app::kExitUsage << "Unexpected argument 'coins.ini'.";
        QTest::newRow("folder missing")
            << QStringList{"--folder"} << app::kExitUsage << "Missing value after '--folder'.";
        QTest::newRow("folder empty")
            << QStringList{"--folder="} << app::kExitUsage << "No folder named after '--folder'.";
    }
    void refusalWritesNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, named);
        Machine machine(false);
        QDir().mkpath(machine.path("locked"));
        machine.readOnly << machine.path("locked");
        QFile notes(machine.path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("1921 Peace dollar\n");
        notes.close();
        const QStringList before = machine.tree();

        app::Launch launch;
        QCOMPARE(machine.start(launch, machine.filled(arguments)), std::optional(exitCode));
        QCOMPARE(machine.tree(), before);
        QCOMPARE(machine.fakes.boxes.shown.size(), 1);
        const platform::MessageRequest& shown = machine.fakes.boxes.shown.front();
        QCOMPARE(shown.title, QStringLiteral("Corvantheil"));
        QVERIFY2(shown.text.contains(QDir::toNativeSeparators(machine.filled({named}).front())),
                 qPrintable(shown.text));
        QCOMPARE(app::programFolder(), QCoreApplication::applicationDirPath());
    }
};

QTEST_GUILESS_MAIN(ProgramFolderChoiceTest)
#include "program_folder_choice_test.moc"
