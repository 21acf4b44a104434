#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;

// The thin seams over the operating system. The program talks to message
// boxes, the file-open dialog, the shell and the settings store only through
// these, so that tests can answer and record them.
namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Warning, Critical, Question, Information };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    // 1 = first button, 2 = second, 3 = third.
    int defaultButton = 1;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Closing the box without a button counts as Cancel (or Ok for a lone OK button).
    virtual Answer show(const MessageRequest& request) = 0;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // filters: "Caption|*.A;*.B" entries in order. One file or several, in the
    // order chosen, the dialog opening in `folder`. An empty list means cancelled.
    virtual QStringList openFiles(const QString& title, const QStringList& filters,
                                  const QString& folder) = 0;
    // The same for exactly one file. No value means cancelled.
    virtual std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                            const QString& folder) = 0;
    // The file-save dialog, which asks before a file is replaced; `suggested`
    // is the path it proposes. No value means cancelled.
    virtual std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                            const QString& suggested) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // The shell's "open" action on a web address or a local document; false when
    // nothing could be started. A launcher that starts and then gives up (no
    // browser, or one that refuses to run) is only known later: failedLater then
    // runs once, from the event loop.
    virtual bool open(const QString& target, std::function<void()> failedLater) = 0;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<QString> get(const QString& key) = 0;
    virtual bool set(const QString& key, const QString& value) = 0;
};

// Shows a modal window and returns when it is hidden or closed, with its
// result code (QDialog::Accepted or Rejected).
class ModalDialogs {
public:
    virtual ~ModalDialogs() = default;
    virtual int exec(QDialog& dialog) = 0;
};

// Until the windowed program installs the real seams, questions take their
// cancel answer, nothing is opened and no window is shown.
MessageBoxes& messageBoxes();
FileDialogs& fileDialogs();
Shell& shell();
SettingsStore& settings();
ModalDialogs& modalDialogs();

// Installs replacements (tests); nullptr restores the real one. Ownership stays
// with the caller.
void install(MessageBoxes* boxes);
void install(FileDialogs* dialogs);
void install(Shell* shell);
void install(SettingsStore* store);
void install(ModalDialogs* dialogs);

} // namespace platform
