#pragma once

#include "FakePlatform.h"
#include "app/Main.h"
#include "ui/main/MainWindow.h"
#include "store/IniDocument.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <vector>

// A temporary program folder holding the shipped files, with the program
// pointed at it and the platform seams replaced by fakes.
class ProgramFolderFixture {
public:
    explicit ProgramFolderFixture(bool withShippedFiles = true);
    ~ProgramFolderFixture();

    QString folder() const { return m_dir.path(); }
    // A native path below the folder, from a relative path text.
    QString path(const QString& relative) const;
    QByteArray read(const QString& relative) const;
    void write(const QString& relative, const QByteArray& bytes) const;
    bool exists(const QString& relative) const;

    FakePlatform fakes;

private:
    QTemporaryDir m_dir;
};

// An item database's text: one section per item, "ITEMNUMB000001" upwards.
using TestItem = std::vector<store::IniEntry>;
QByteArray databaseText(const std::vector<TestItem>& items);

// The whole program started on a fixture folder whose database holds `items`.
class RunningProgram {
public:
    explicit RunningProgram(const std::vector<TestItem>& items = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    MainWindow& window() const { return *program.window; }
    QByteArray database() const { return folder.read(QStringLiteral("_data\\991106EB51")); }
    // Element `index` of a control group, or the control of that name.
    template <class W = QWidget> W* control(const QString& name, int index = 0) const {
        for (W* w : program.window->template findChildren<W*>(name)) {
            if (index == 0 || w->property("index").toInt() == index) {
                return w;
            }
        }
        return nullptr;
    }
    void trigger(const QString& action) const;
    void doubleClickCard(int n) const;

    ProgramFolderFixture folder;
    app::Program program;
};
