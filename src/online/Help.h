#pragma once

class QMenu;
class QWidget;

// The Help menu: the local help page and the support page in the browser, the
// newsletter box and the About box.
//
// Finds mnuHelpTopics, mnuHelpOnlineHelp, mnuHelpNewsletter and mnuHelpAbout
// in the menu, connects them, and renames the About entry each time the menu
// is about to show. The boxes are shown over the window.
void wireHelpMenu(QMenu* help, QWidget* window);
