#include "FakePlatform.h"

#include <QDialog>

platform::Answer FakeMessageBoxes::show(const platform::MessageRequest& request) {
    shown.append(request);
    if (!answers.isEmpty()) {
        return answers.takeFirst();
    }
    return request.buttons == platform::Buttons::Ok ? platform::Answer::Ok
                                                    : platform::Answer::Cancel;
}

std::optional<QString> FakeFileDialogs::openFile(const QString& title, const QStringList& filters) {
    titles.append(title);
    filterLists.append(filters);
    return answers.isEmpty() ? std::nullopt : answers.takeFirst();
}

bool FakeShell::open(const QString& target) {
    opened.append(target);
    return result;
}

std::optional<QString> FakeSettingsStore::get(const QString& key) {
    if (!values.contains(key)) {
        return std::nullopt;
    }
    return values.value(key);
}

bool FakeSettingsStore::set(const QString& key, const QString& value) {
    ++writes;
    values.insert(key, value);
    return true;
}

int FakeModalDialogs::exec(QDialog& dialog) {
    titles.append(dialog.windowTitle());
    dialog.setResult(QDialog::Rejected);
    if (handler) {
        handler(dialog);
    }
    return dialog.result();
}

FakePlatform::FakePlatform() {
    platform::install(&boxes);
    platform::install(&dialogs);
    platform::install(&shell);
    platform::install(&settings);
    platform::install(&modalDialogs);
}

FakePlatform::~FakePlatform() {
    platform::install(static_cast<platform::MessageBoxes*>(nullptr));
    platform::install(static_cast<platform::FileDialogs*>(nullptr));
    platform::install(static_cast<platform::Shell*>(nullptr));
    platform::install(static_cast<platform::SettingsStore*>(nullptr));
    platform::install(static_cast<platform::ModalDialogs*>(nullptr));
}
