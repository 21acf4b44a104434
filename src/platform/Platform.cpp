#include "platform/Platform.h"

#include <QSettings>
#include <QtDebug>

namespace platform {
namespace {

class HeadlessMessageBoxes : public MessageBoxes {
public:
    Answer show(const MessageRequest& request) override {
        qWarning().noquote() << request.title << ":" << request.text;
        return request.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
};

class HeadlessFileDialogs : public FileDialogs {
public:
    QStringList openFiles(const QString& /*title*/, const QStringList& /*filters*/,
                          const QString& /*folder*/) override {
        return {};
    }
    std::optional<QString> openFile(const QString& /*title*/, const QStringList& /*filters*/,
                                    const QString& /*folder*/) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const QString& /*title*/, const QStringList& /*filters*/,
                                    const QString& /*suggested*/) override {
        return std::nullopt;
    }
};

class HeadlessShell : public Shell {
public:
    bool open(const QString& /*target*/, std::function<void()> /*failedLater*/) override {
        return false;
    }
};

class HeadlessModalDialogs : public ModalDialogs {
public:
    int exec(QDialog& /*dialog*/) override { return 0; }
};

// The per-user store under "Corvantheil", section "Settings".
class QSettingsStore : public SettingsStore {
public:
    std::optional<QString> get(const QString& key) override {
        const QVariant v = settings().value(qualified(key));
        if (!v.isValid()) {
            return std::nullopt;
        }
        return v.toString();
    }
    bool set(const QString& key, const QString& value) override {
        settings().setValue(qualified(key), value);
        settings().sync();
        return settings().status() == QSettings::NoError;
    }

private:
    static QSettings& settings() {
        static QSettings store(QStringLiteral("Corvantheil"), QStringLiteral("Corvantheil"));
        return store;
    }
    static QString qualified(const QString& key) { return QStringLiteral("Settings/") + key; }
};

template <class Seam, class Default> class Slot {
public:
    Seam& get() {
        if (m_installed != nullptr) {
            return *m_installed;
        }
        static Default fallback;
        return fallback;
    }
    void install(Seam* seam) { m_installed = seam; }

private:
    Seam* m_installed = nullptr;
};

// The seams are the program's one piece of process-wide state: the real
// program installs Qt's, tests install fakes.
// NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables)
Slot<MessageBoxes, HeadlessMessageBoxes> boxesSlot;
Slot<FileDialogs, HeadlessFileDialogs> fileDialogsSlot;
Slot<Shell, HeadlessShell> shellSlot;
Slot<SettingsStore, QSettingsStore> settingsSlot;
Slot<ModalDialogs, HeadlessModalDialogs> modalDialogsSlot;
// NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

} // namespace

MessageBoxes& messageBoxes() {
    return boxesSlot.get();
}
FileDialogs& fileDialogs() {
    return fileDialogsSlot.get();
}
Shell& shell() {
    return shellSlot.get();
}
SettingsStore& settings() {
    return settingsSlot.get();
}
ModalDialogs& modalDialogs() {
    return modalDialogsSlot.get();
}

void install(MessageBoxes* boxes) {
    boxesSlot.install(boxes);
}
void install(FileDialogs* dialogs) {
    fileDialogsSlot.install(dialogs);
}
void install(Shell* shell) {
    shellSlot.install(shell);
}
void install(SettingsStore* store) {
    settingsSlot.install(store);
}
void install(ModalDialogs* dialogs) {
    modalDialogsSlot.install(dialogs);
}

} // namespace platform
