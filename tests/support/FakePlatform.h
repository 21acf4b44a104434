#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QMap>
#include <functional>

// Recording fakes of the platform seams; tests queue answers and read what the program asked.
struct FakeMessageBoxes : platform::MessageBoxes {
    platform::Answer show(const platform::MessageRequest& request) override {
        shown.append(request);
        const bool lone = request.buttons == platform::Buttons::Ok;
        return answers.isEmpty() ? (lone ? platform::Answer::Ok : platform::Answer::Cancel)
                                 : answers.takeFirst();
    }
    QList<platform::MessageRequest> shown;
    QList<platform::Answer> answers; // taken front first; Ok/Cancel default when empty
};

struct FakeFileDialogs : platform::FileDialogs {
    QStringList openFiles(const QString& title, const QStringList& filters,
                          const QString& folder) override {
        titles.append(title);
        lastFilters = filters;
        folders.append(folder);
        return chosen.isEmpty() ? QStringList() : chosen.takeFirst();
    }
    std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                    const QString& folder) override {
        titles.append(title);
        lastFilters = filters;
        folders.append(folder);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    std::optional<QString> saveFile(const QString& title, const QStringList& /*filters*/,
                                    const QString& suggested) override {
        titles.append(title);
        suggestions.append(suggested);
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.takeFirst();
    }
    QStringList titles;
    QStringList lastFilters;
    QStringList folders;                       // where each dialog opened
    QList<QStringList> chosen;                 // taken front first; cancelled when empty
    QList<std::optional<QString>> answers;     // the one-file dialog's, the same way
    QStringList suggestions;                   // paths the save dialog proposed
    QList<std::optional<QString>> saveAnswers; // the same for the save dialog
};

struct FakeShell : platform::Shell {
    bool open(const QString& target, std::function<void()> failedLater) override {
        opened.append(target);
        giveUp = std::move(failedLater);
        return result;
    }
    QStringList opened;
    bool result = true;
    std::function<void()> giveUp; // the last request's: a test calls it as a launcher that gave up
};

struct FakeSettingsStore : platform::SettingsStore {
    std::optional<QString> get(const QString& key) override {
        return values.contains(key) ? std::optional(values.value(key)) : std::nullopt;
    }
    bool set(const QString& key, const QString& value) override {
        ++writes;
        values.insert(key, value);
        return true;
    }
    QMap<QString, QString> values;
    int writes = 0;
};

// Shows no modal window but runs the test's handler, which answers it as a user would.
struct FakeModalDialogs : platform::ModalDialogs {
    int exec(QDialog& dialog) override {
        titles.append(dialog.windowTitle());
        dialog.setResult(QDialog::Rejected);
        handler(dialog);
        return dialog.result();
    }
    std::function<void(QDialog&)> handler = [](QDialog&) {};
    QStringList titles; // window titles of the dialogs shown, in order
};

class FakePlatform {
    Q_DISABLE_COPY(FakePlatform)
    template <class... Fakes> static void install(bool on, Fakes*... fakes) {
        (platform::install(on ? fakes : nullptr), ...);
    }

public:
    FakePlatform() { install(true, &boxes, &dialogs, &shell, &settings, &modalDialogs); }
    ~FakePlatform() { install(false, &boxes, &dialogs, &shell, &settings, &modalDialogs); }

    FakeMessageBoxes boxes;
    FakeFileDialogs dialogs;
    FakeShell shell;
    FakeSettingsStore settings;
    FakeModalDialogs modalDialogs;
};
