#include "ui/edit/ItemCommands.h"

#include "app/ErrorLog.h"
#include "store/Collection.h"
#include "ui/edit/CommandWindow.h"
#include "ui/edit/ItemEditor.h"

#include <QCursor>
#include <QGuiApplication>

ItemCommands::ItemCommands(ItemEditor& editor, store::Collection& collection,
                           CommandWindow& window, QObject* parent)
    : QObject(parent), m_editor(editor), m_collection(collection), m_window(window) {}

platform::Answer ItemCommands::askAboutUnsavedChanges() {
    return platform::messageBoxes().show(
        {QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                        "Do you want to save the changes before closing?"),
         QStringLiteral("Unsaved Changes"), platform::Buttons::YesNoCancel, platform::Icon::Warning,
         1});
}

void ItemCommands::save() {
    app::Guard guard;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_editor.stampRecordLastUpdated(QDateTime::currentDateTime());
    guard.step([&] {
        // A save that did not reach the file leaves the edits unsaved, so that
        // closing still asks and the next save writes them (a new item appended).
        if (const auto stored = m_collection.save(m_editor.record(), m_editor.position())) {
            m_editor.setPosition(stored);
            m_editor.takeCleanSnapshot();
        }
    });
    QGuiApplication::restoreOverrideCursor();
}

void ItemCommands::closeItem() {
    app::Guard guard;
    if (!m_editor.hasUnsavedChanges()) {
        m_window.showHomePage();
        return;
    }
    platform::Answer answer = platform::Answer::Cancel;
    guard.step([&] { answer = askAboutUnsavedChanges(); });
    if (answer == platform::Answer::Yes) {
        save();
        m_window.showHomePage();
    } else if (answer == platform::Answer::No) {
        m_window.showHomePage();
    }
}

void ItemCommands::openHighlightedCard() {
    if (const int card = m_window.highlightedCard()) {
        m_window.openItemByDescription(m_window.cardDescription(card));
    }
}
