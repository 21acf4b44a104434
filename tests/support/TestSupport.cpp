#include "TestSupport.h"

#include "ui/edit/MainMenus.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QTest>

#include "app/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
    }
}
} // namespace

ProgramFolderFixture::ProgramFolderFixture(bool withShippedFiles) {
    if (withShippedFiles) {
        copyTree(QStringLiteral(CORVANTHEIL_DATA_DIR), m_dir.path());
    }
    app::setProgramFolder(m_dir.path());
}

ProgramFolderFixture::~ProgramFolderFixture() {
    app::setProgramFolder(QString());
}

QString ProgramFolderFixture::path(const QString& relative) const {
    return app::nativePath(app::joinPath(m_dir.path(), relative));
}

QByteArray ProgramFolderFixture::read(const QString& relative) const {
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ProgramFolderFixture::write(const QString& relative, const QByteArray& bytes) const {
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

bool ProgramFolderFixture::exists(const QString& relative) const {
    return QFileInfo::exists(path(relative));
}

QByteArray databaseText(const std::vector<TestItem>& items) {
    store::IniDocument doc;
    for (std::size_t i = 0; i < items.size(); ++i) {
        doc.writeSection(
            {QStringLiteral("ITEMNUMB%1").arg(i + 1, 6, 10, QLatin1Char('0')), items[i]});
    }
    return doc.serialize();
}

RunningProgram::RunningProgram(const std::vector<TestItem>& items) {
    if (!items.empty()) {
        folder.write(QStringLiteral("_data\\991106EB51"), databaseText(items));
    }
    program = app::main();
    if (!QTest::qWaitForWindowExposed(program.window.get())) {
        qWarning("the main window was not shown");
    }
}

RunningProgram::~RunningProgram() {
    program = {};
}

void RunningProgram::trigger(const QString& action) const {
    // As a user does: the menu opens, deciding what it offers, then the entry is chosen.
    QAction* a = window().menus().action(action);
    for (QObject* menu : a->associatedObjects()) {
        QMetaObject::invokeMethod(menu, "aboutToShow", Qt::DirectConnection);
    }
    a->trigger();
}

void RunningProgram::doubleClickCard(int n) const {
    QTest::mouseDClick(control<QLabel>(QStringLiteral("picSelectProperty"), n), Qt::LeftButton);
}
