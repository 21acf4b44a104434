#include "online/Help.h"

#include "app/Constants.h"
#include "app/ProgramFolder.h"
#include "app/SharedRoutines.h"
#include "online/AboutBox.h"

#include <QAction>
#include <QMenu>

namespace {

QAction* findAction(QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions()) {
        if (action->objectName() == name) {
            return action;
        }
    }
    return nullptr;
}

template <class Slot> void connectEntry(QMenu* menu, const char* name, Slot&& slot) {
    if (QAction* action = findAction(menu, QString::fromLatin1(name))) {
        QObject::connect(action, &QAction::triggered, menu, std::forward<Slot>(slot));
    }
}

// The trimmed program folder + "\_reference\help.html", joined plainly.
QString generalHelpPath() {
    return app::programFolder().trimmed() + QStringLiteral("\\_reference\\") +
           QStringLiteral("help.html");
}

QString onlineHelpAddress() {
    return app::SiteAddress + QStringLiteral("/support.php");
}

} // namespace

void wireHelpMenu(QMenu* help, QWidget* window) {
    // Set, not appended, each time the menu opens.
    QObject::connect(help, &QMenu::aboutToShow, help, [help] {
        if (QAction* about = findAction(help, QStringLiteral("mnuHelpAbout"))) {
            about->setText(QStringLiteral("About ") + app::kTitle);
        }
    });
    connectEntry(help, "mnuHelpTopics", [] { app::launchBrowser(generalHelpPath()); });
    connectEntry(help, "mnuHelpOnlineHelp", [] { app::launchBrowser(onlineHelpAddress()); });
    connectEntry(help, "mnuHelpNewsletter", [window] { showNewsletterBox(window); });
    connectEntry(help, "mnuHelpAbout", [window] { showAboutBox(window); });
}
