#pragma once

#include "FakePlatform.h"
#include "IniDocument.h"
#include "Program.h"
#include "app/ProgramFolder.h"
#include "app/ProgramFolderChoice.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QtTest>
#include <unistd.h>

// A temporary program folder with the shipped files, the program pointed at it, fakes installed.
class ProgramFolderFixture {
    QTemporaryDir m_dir;

public:
    explicit ProgramFolderFixture(bool withShippedFiles = true) {
        app::setProgramFolder(folder());
        app::copyMissingShippedFiles(withShippedFiles ? CORVANTHEIL_DATA_DIR : "", folder());
    }
    ~ProgramFolderFixture() { app::setProgramFolder(QString()); }

    QString folder() const { return m_dir.path(); }
    // A native path below the folder, from a relative path text.
    QString path(const QString& relative) const {
        return app::nativePath(app::joinPath(folder(), relative));
    }
    QByteArray read(const QString& relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& relative, const QByteArray& bytes) const {
        QFile f(path(relative));
        QVERIFY(QDir().mkpath(QFileInfo(f).path()) && f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(path(relative)); }
    QByteArray log() const { return read(QStringLiteral("corvantheil.Err")); }

    FakePlatform fakes;
};

// Element `index` of a control group below `parent`, or the control of that name.
template <class W = QWidget> W* child(const QObject& parent, const QString& name, int index = 0) {
    const QList<W*> all = parent.findChildren<W*>(name);
    const auto it = std::find_if(all.begin(), all.end(), [index](W* w) {
        return index == 0 || w->property("index").toInt() == index;
    });
    return it == all.end() ? nullptr : *it;
}

// Root writes anywhere: the row runs again as an ordinary user, passing or failing with it.
inline void rerunAsOrdinaryUser() {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                            QCoreApplication::applicationFilePath(),
                            QString(QTest::currentTestFunction()) + ':' + QTest::currentDataTag()});
    QVERIFY2(child.waitForFinished(60000), "setpriv is needed to run the row as an ordinary user");
    QCOMPARE(child.exitCode(), 0);
}

// The item database, relative to the program folder.
inline const QString kDatabase = QStringLiteral("_data\\991106EB51");

// The look-up's fields for 1909, USA, coin type 12, mint mark 6 and grade 24.
inline const QString kWorkedLookUpFields =
    "&year=1909&country=USA&cointype=1%20Cent%20%28small%29%20%3A%20Indian%20Head%20%281859"
    "%2D1909%29&mintmark=S%20%3A%20San%20Francisco%2C%20CA%20%281854%20to%20date%29"
    "&grade=Good%20%28G%2D4%29";

// An item database's text: one section per item, "ITEMNUMB000001" upwards.
using TestItem = std::vector<store::IniEntry>;
inline QByteArray databaseText(const std::vector<TestItem>& items) {
    store::IniDocument doc;
    for (std::size_t i = 0; i < items.size(); ++i) {
        doc.writeSection({QStringLiteral("ITEMNUMB%1").arg(i + 1, 6, 10, QChar(u'0')), items[i]});
    }
    return doc.serialize();
}

// The whole program started on a fixture folder whose database holds `items`.
struct RunningProgram {
    explicit RunningProgram(const std::vector<TestItem>& items = {}) {
        if (!items.empty()) {
            folder.write(kDatabase, databaseText(items));
        }
        program = app::main();
        QVERIFY2(QTest::qWaitForWindowExposed(program.window.get()), "the window was not shown");
    }

    MainWindow& window() const { return *program.window; }
    QByteArray database() const { return folder.read(kDatabase); }
    template <class W = QWidget> W* control(const QString& name, int index = 0) const {
        return child<W>(window(), name, index);
    }
    // As a user does: the menu opens, deciding what it offers, then the entry is chosen.
    void trigger(const QString& action) const {
        QAction* a = window().menus().action(action);
        for (QObject* menu : a->associatedObjects()) {
            QMetaObject::invokeMethod(menu, "aboutToShow", Qt::DirectConnection);
        }
        a->trigger();
    }
    void doubleClickCard(int n) const {
        QTest::mouseDClick(control<QLabel>(QStringLiteral("picSelectProperty"), n), Qt::LeftButton);
    }

    ProgramFolderFixture folder;
    app::Program program;
};
