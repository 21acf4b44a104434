#include "platform/Platform.h"

#include "platform/QtPlatform.h"

namespace platform {
namespace {

template <class Seam, class Real> struct Slot {
    Seam* installed = nullptr;
    Seam& get() {
        if (installed) {
            return *installed;
        }
        static Real real;
        return real;
    }
};

Slot<MessageBoxes, QtMessageBoxes> g_boxes;
Slot<FileDialogs, QtFileDialogs> g_dialogs;
Slot<Shell, QtShell> g_shell;
Slot<SettingsStore, QtSettingsStore> g_settings;

} // namespace

MessageBoxes& messageBoxes() {
    return g_boxes.get();
}
FileDialogs& fileDialogs() {
    return g_dialogs.get();
}
Shell& shell() {
    return g_shell.get();
}
SettingsStore& settings() {
    return g_settings.get();
}

void install(MessageBoxes* boxes) {
    g_boxes.installed = boxes;
}
void install(FileDialogs* dialogs) {
    g_dialogs.installed = dialogs;
}
void install(Shell* s) {
    g_shell.installed = s;
}
void install(SettingsStore* store) {
    g_settings.installed = store;
}

} // namespace platform
