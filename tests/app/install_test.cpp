#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

const QStringList kShippedFiles = {"_images/corvantheil5.jpg", "_images/invalidPictureFormat.jpg",
                                   "_images/noImageAvailable.jpg", "_reference/help.html"};

// Exit code, with standard output and error in `output` when asked.
int run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        return -1;
    }
    if (output) {
        *output = process.readAll();
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

int install(const QString& prefix, const QStringList& more = {}) {
    return run(QStringLiteral(CMAKE_COMMAND_PATH),
               QStringList{"--install", BUILD_DIR, "--prefix", prefix} + more);
}

QStringList tree(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        entries << QDir(folder).relativeFilePath(it.next());
    }
    entries.sort();
    return entries;
}

bool waitFor(const QString& path) {
    for (int i = 0; i < 600 && !QFileInfo::exists(path); ++i) {
        QThread::msleep(100);
    }
    return QFileInfo::exists(path);
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT
private slots:
    void systemInstallKeepsTheCollectionInTheHome() {
        QTemporaryDir scratch;
        QFile::setPermissions(scratch.path(), QFile::permissions(scratch.path()) |
                                                  QFileDevice::ExeOther | QFileDevice::ReadOther);
        const QString prefix = scratch.filePath("prefix");
        QCOMPARE(install(prefix), 0);
        for (const QString& file : kShippedFiles) {
            QVERIFY2(QFile::exists(prefix + "/share/corvantheil/" + file), qPrintable(file));
        }
        QByteArray said;
        QVERIFY2(run("desktop-file-validate", {prefix + "/share/applications/corvantheil.desktop"},
                     &said) == 0 &&
                     said.isEmpty(),
                 said.isEmpty() ? "desktop-file-validate missing: run scripts/setup.sh" : said);
        int icons = 0;
        for (const QString& size :
             QDir(prefix + "/share/icons/hicolor").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QImage icon(prefix + "/share/icons/hicolor/" + size + "/apps/corvantheil.png");
            QCOMPARE(QStringLiteral("%1x%2").arg(icon.width()).arg(icon.height()), size);
            ++icons;
        }
        QVERIFY(icons >= 4);

        // Read-only to an ordinary user, who has a home of its own.
        QCOMPARE(run("chmod", {"-R", "a-w", prefix}), 0);
        const QStringList installed = tree(prefix);
        const QString home = scratch.filePath("home");
        QVERIFY(QDir().mkpath(home));
        QFile::setPermissions(home, QFileDevice::ReadOther | QFileDevice::WriteOther |
                                        QFileDevice::ExeOther | QFileDevice::ReadOwner |
                                        QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* xdg : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
            env.remove(QString::fromLatin1(xdg));
        }
        env.insert("HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        const QString executable = prefix + "/bin/corvantheil";
        if (geteuid() == 0) {
            program.start("setpriv",
                          {"--reuid=65534", "--regid=65534", "--clear-groups", executable});
        } else {
            program.start(executable);
        }
        const QString collection = home + "/.local/share/Corvantheil";
        const bool started = waitFor(collection + "/_data/_userImages");
        const bool locked = QFile::exists(collection + "/corvantheil.lock");
        program.kill();
        program.waitForFinished();
        run("chmod", {"-R", "u+w", prefix});
        QVERIFY(started);
        QVERIFY(locked);
        for (const QString& file : kShippedFiles) {
            QVERIFY2(QFile::exists(collection + u'/' + file), qPrintable(file));
        }
        QCOMPARE(tree(prefix), installed);
    }

    void portableInstallIsOneFolder() {
        QTemporaryDir scratch;
        QCOMPARE(install(scratch.path(), {"--component", "portable"}), 0);
        QCOMPARE(tree(scratch.path()),
                 QStringList({"_images", "_images/corvantheil5.jpg",
                              "_images/invalidPictureFormat.jpg", "_images/noImageAvailable.jpg",
                              "_reference", "_reference/help.html", "corvantheil"}));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "install_test.moc"
