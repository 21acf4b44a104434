#include "ui/edit/ItemCommands.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "store/Collection.h"
#include "ui/common/BusyCursor.h"
#include "ui/edit/CommandWindow.h"
#include "ui/edit/InputDialog.h"
#include "ui/edit/ItemEditor.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>

namespace {

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
        connect(m_dialog, &InputDialog::okPressed, this,
                [this](const QString& text) { m_editor.setText(store::Field::Description, text); });
    }
    return *m_dialog;
}

void ItemCommands::tellFailure(const QString& what, const QString& then) const {
    const std::optional<app::RuntimeError>& failure = m_collection.lastFailure();
    const app::RuntimeError e = failure.value_or(app::RuntimeError(app::kPathFileAccessError));
    platform::messageBoxes().show(
        {what + QStringLiteral(": ") + app::failureCause(e) + QStringLiteral(".\n\n") + then +
             u' ' + app::failureAdvice(e) + QStringLiteral(", then ") +
             QStringLiteral("try again."),
         app::kTitle, platform::Buttons::Ok, platform::Icon::Critical, 1});
}

bool ItemCommands::readAgainIfChanged() {
    if (!m_collection.changedOnDisk()) {
        return false;
    }
    m_collection.load();
    // The open item keeps its place only where the file still holds that coin.
    if (const auto position = m_editor.position()) {
        if (*position >= m_collection.count() ||
            m_collection.record(*position).description() != m_editor.storedDescription()) {
            m_editor.setPosition(std::nullopt);
        }
    }
    platform::messageBoxes().show(
        {QStringLiteral("Another program changed the collection file while Corvantheil had it "
                        "open:\n\n") +
             QDir::toNativeSeparators(app::nativePath(m_collection.databasePath())) +
             QStringLiteral("\n\nCorvantheil has read it again. Changes you have not saved are "
                            "still in the window."),
         app::kTitle, platform::Buttons::Ok, platform::Icon::Information, 1});
    m_window.collectionReadAgain();
    return true;
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
    // Cards made from a file another program has changed may show other coins now.
    if (readAgainIfChanged()) {
        return;
    }
    const std::optional<ChosenItem> chosen = m_window.chosenItem();
    if (!chosen) {
        return;
    }
    platform::Answer answer = platform::Answer::Cancel;
    guard.step([&] {
        answer = platform::messageBoxes().show(
            {QStringLiteral("Are you sure you want to permanently remove:\r\n\r\n   \"") +
                 chosen->description + QStringLiteral("\" ?"),
             QStringLiteral("Delete Property"), platform::Buttons::OkCancel,
             platform::Icon::Warning, 2});
    });
    if (answer != platform::Answer::Ok) {
        commandAborted(QStringLiteral("Removal of item Aborted.  The item has not been deleted"));
        return;
    }
    bool removed = false;
    {
        const ui::BusyCursor busy;
        removed = m_collection.remove(chosen->position);
    }
    if (!removed) {
        tellFailure(QStringLiteral("The coin could not be removed"),
                    QStringLiteral("It is still in the collection."));
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

bool ItemCommands::save() {
    readAgainIfChanged();
    std::optional<qsizetype> stored;
    {
        const ui::BusyCursor busy;
        m_editor.stampRecordLastUpdated(QDateTime::currentDateTime());
        stored = m_collection.save(m_editor.record(), m_editor.position());
    }
    // A save that did not reach the file leaves the edits unsaved, so that
    // closing still asks and the next save writes them (a new item appended).
    if (stored) {
        m_editor.setPosition(stored);
        m_editor.takeCleanSnapshot();
        m_editor.setStoredDescription(m_editor.text(store::Field::Description));
        return true;
    }
    if (!m_collection.lastFailure()) {
        return true; // nothing to store: an empty new item writes no section
    }
    tellFailure(QStringLiteral("The collection could not be saved"),
                QStringLiteral("Your changes are still in the window."));
    return false;
}

void ItemCommands::saveCopy() {
    InputDialog& dialog = inputDialog();
    dialog.expectAnswer();
    dialog.setPrompt(QStringLiteral("What is the New Item Name?"));
    dialog.setText(QStringLiteral("Copy of ") + m_editor.text(store::Field::Description));
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
        m_window.leaveItem();
        return;
    }
    platform::Answer answer = platform::Answer::Cancel;
    guard.step([&] { answer = askAboutUnsavedChanges(); });
    if (answer == platform::Answer::Yes) {
        // A save that failed keeps the item open with its edits.
        if (save()) {
            m_window.leaveItem();
        }
    } else if (answer == platform::Answer::No) {
        m_window.leaveItem();
    }
}

void ItemCommands::openHighlightedCard() {
    if (const std::optional<ChosenItem> chosen = m_window.chosenItem()) {
        m_window.openItem(chosen->position);
    }
}
