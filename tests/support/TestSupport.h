#pragma once

#include "FakePlatform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

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

// Resets the item store's globals to a fresh start.
void resetItemStore();
