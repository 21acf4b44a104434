#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>

// Recording fakes of the platform seams; tests queue answers and read what the
// program asked.
class FakeMessageBoxes : public platform::MessageBoxes {
public:
    platform::Answer show(const platform::MessageRequest& request) override;
    QList<platform::MessageRequest> shown;
    QList<platform::Answer> answers; // taken front first; Ok/Cancel default when empty
};

class FakeFileDialogs : public platform::FileDialogs {
public:
    std::optional<QString> openFile(const QString& title, const QStringList& filters) override;
    QStringList titles;
    QList<QStringList> filterLists;
    QList<std::optional<QString>> answers; // empty list means cancelled
};

class FakeShell : public platform::Shell {
public:
    bool open(const QString& target) override;
    QStringList opened;
    bool result = true;
};

class FakeSettingsStore : public platform::SettingsStore {
public:
    std::optional<QString> get(const QString& key) override;
    bool set(const QString& key, const QString& value) override;
    QMap<QString, QString> values;
    int writes = 0;
};

// Runs the test's handler on a modal window instead of showing it; the
// handler answers it (fills boxes, clicks buttons) as a user would.
class FakeModalDialogs : public platform::ModalDialogs {
public:
    int exec(QDialog& dialog) override;
    std::function<void(QDialog&)> handler;
    QStringList titles; // window titles of the dialogs shown, in order
};

// Installs all five fakes for its lifetime.
class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeMessageBoxes boxes;
    FakeFileDialogs dialogs;
    FakeShell shell;
    FakeSettingsStore settings;
    FakeModalDialogs modalDialogs;
};
