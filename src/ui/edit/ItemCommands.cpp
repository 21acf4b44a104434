#include "ui/edit/ItemCommands.h"

#include "app/ErrorLog.h"
#include "store/Collection.h"
#include "ui/edit/CommandWindow.h"
#include "ui/edit/InputDialog.h"
#include "ui/edit/ItemEditor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

// The cursor shows the program busy while a command rewrites the database.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

void commandAborted(const QString& text) {
    platform::messageBoxes().show(
        {text, QStringLiteral("Command Aborted"), platform::Buttons::Ok, platform::Icon::None, 1});
}

} // namespace

ItemCommands::ItemCommands(ItemEditor& editor, store::Collection& collection, CommandWindow& window,
                           QWidget* owner)
    : QObject(owner), m_editor(editor), m_collection(collection), m_window(window), m_owner(owner) {
}

InputDialog& ItemCommands::inputDialog() {
    if (m_dialog == nullptr) {
        m_dialog = new InputDialog(m_owner);
        // OK puts the entered text, as typed, into the description box.
        connect(m_dialog, &InputDialog::okPressed, this, [this](const QString& text) {
            m_editor.setText(QStringLiteral("txtDescription"), text);
        });
    }
    return *m_dialog;
}

void ItemCommands::addNewItem() {
    m_editor.setPictures({});
    m_editor.clearItemFields();
    m_editor.takeCleanSnapshot();
    m_editor.setPosition(std::nullopt);
    m_window.showNewItem();
}

void ItemCommands::removeSelectedItem() {
    app::Guard guard;
    m_editor.clearItemFields();
    const int card = m_window.highlightedCard();
    if (card == 0) {
        return;
    }
    const QString description = m_window.cardDescription(card);
    platform::Answer answer = platform::Answer::Cancel;
    guard.step([&] {
        answer = platform::messageBoxes().show(
            {QStringLiteral("Are you sure you want to permanently remove:\r\n\r\n   \"") +
                 description + QStringLiteral("\" ?"),
             QStringLiteral("Delete Property"), platform::Buttons::OkCancel,
             platform::Icon::Warning, 2});
    });
    if (answer != platform::Answer::Ok) {
        commandAborted(QStringLiteral("Removal of item Aborted.  The item has not been deleted"));
        return;
    }
    removeItemByDescription(description);
}

void ItemCommands::removeItemByDescription(const QString& description) {
    app::Guard guard;
    {
        const BusyCursor busy;
        // No match leaves every item in place; the file is rewritten all the same.
        guard.step([&] { m_collection.remove(m_collection.findByDescription(description)); });
    }
    m_window.refillHomePageFromFirstItem();
}

platform::Answer ItemCommands::askAboutUnsavedChanges() {
    return platform::messageBoxes().show(
        {QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                        "Do you want to save the changes before closing?"),
         QStringLiteral("Unsaved Changes"), platform::Buttons::YesNoCancel, platform::Icon::Warning,
         1});
}

void ItemCommands::save() {
    app::Guard guard;
    const BusyCursor busy;
    m_editor.stampRecordLastUpdated(QDateTime::currentDateTime());
    guard.step([&] {
        // A save that did not reach the file leaves the edits unsaved, so that
        // closing still asks and the next save writes them (a new item appended).
        if (const auto stored = m_collection.save(m_editor.record(), m_editor.position())) {
            m_editor.setPosition(stored);
            m_editor.takeCleanSnapshot();
        }
    });
}

void ItemCommands::saveCopy() {
    InputDialog& dialog = inputDialog();
    dialog.expectAnswer();
    dialog.setPrompt(QStringLiteral("What is the New Item Name?"));
    dialog.setText(QStringLiteral("Copy of ") + m_editor.text(QStringLiteral("txtDescription")));
    platform::modalDialogs().exec(dialog);
    if (dialog.wasCancelled()) {
        commandAborted(QStringLiteral("Copy of Item Aborted.  The Item has not been copied"));
        return;
    }
    // The copy is a new item; the one that was open keeps what it last stored.
    m_editor.setPosition(std::nullopt);
    save();
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
