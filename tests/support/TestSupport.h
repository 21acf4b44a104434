#pragma once

#include "FakePlatform.h"
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
