#pragma once

#include "platform/Platform.h"

#include <chrono>

// The real seams, on Qt's own classes.
namespace platform {

class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(const MessageRequest& request) override;
};

class QtFileDialogs : public FileDialogs {
public:
    QStringList openFiles(const QString& title, const QStringList& filters,
                          const QString& folder) override;
    std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                    const QString& folder) override;
    std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                    const QString& suggested) override;
};

// Runs xdg-open itself and watches it: QDesktopServices lets it go, and so never
// learns that it found no browser or that the browser refused to run.
class QtShell : public Shell {
public:
    // A launcher that fails later than failureWindow after its start is taken for
    // a browser that ran and was closed, not one that could not start.
    explicit QtShell(std::chrono::milliseconds failureWindow = std::chrono::seconds(30))
        : m_failureWindow(failureWindow) {}
    bool open(const QString& target, std::function<void()> failedLater) override;

private:
    std::chrono::milliseconds m_failureWindow;
};

class QtModalDialogs : public ModalDialogs {
public:
    int exec(QDialog& dialog) override;
};

// Installs the real message boxes, file dialog, shell and modal dialogs.
void useQtSeams();

} // namespace platform
