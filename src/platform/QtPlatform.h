#pragma once

#include "platform/Platform.h"

// The real seams, on Qt's own classes.
namespace platform {

class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(const MessageRequest& request) override;
};

class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const QString& title, const QStringList& filters) override;
    std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                    const QString& suggested) override;
};

class QtShell : public Shell {
public:
    bool open(const QString& target) override;
};

class QtModalDialogs : public ModalDialogs {
public:
    int exec(QDialog& dialog) override;
};

// Installs the real message boxes, file dialog, shell and modal dialogs.
void useQtSeams();

} // namespace platform
