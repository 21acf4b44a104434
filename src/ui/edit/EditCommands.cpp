#include "ui/edit/EditCommands.h"

#include "ui/edit/CommandWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <algorithm>

namespace {

QLineEdit* focusedLine() {
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

QPlainTextEdit* focusedNotes() {
    return qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
}

// The boxes' own slots of the same name do the work, as their keys would.
void invokeOnFocusedBox(const char* slot) {
    QWidget* box = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(box) != nullptr || qobject_cast<QPlainTextEdit*>(box) != nullptr) {
        QMetaObject::invokeMethod(box, slot);
    }
}

// Files copied in a file manager, or a picture copied in another program.
bool clipboardHoldsPictures() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) {
        return false;
    }
    const QList<QUrl> urls = data->urls();
    return data->hasImage() ||
           std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace

EditCommands::EditCommands(CommandWindow& window, QObject* parent)
    : QObject(parent), m_window(window) {}

bool EditCommands::picturesSelected() const {
    return m_window.isCoinImagesShown() && m_window.isThumbnailSelected();
}

EditCommands::States EditCommands::enablingRule() const {
    States states;
    const bool clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
    if (const QLineEdit* line = focusedLine()) {
        states.undo = line->isUndoAvailable();
        states.cut = states.copy = states.deleteSelection = line->hasSelectedText();
        states.paste = clipboardHasText;
        states.selectAll = !line->text().isEmpty();
    } else if (const QPlainTextEdit* notes = focusedNotes()) {
        states.undo = notes->document()->isUndoAvailable();
        states.cut = states.copy = states.deleteSelection = notes->textCursor().hasSelection();
        states.paste = clipboardHasText;
        states.selectAll = !notes->document()->isEmpty();
    } else {
        states.deleteSelection = picturesSelected();
        states.paste = m_window.isCoinImagesShown() && clipboardHoldsPictures();
    }
    return states;
}

void EditCommands::undo() const {
    invokeOnFocusedBox("undo");
}

void EditCommands::cut() const {
    invokeOnFocusedBox("cut");
}

void EditCommands::copy() const {
    invokeOnFocusedBox("copy");
}

// On the Coin Images panel, with no text box focused, the clipboard's
// pictures are added to the item.
void EditCommands::paste() const {
    if (focusedLine() != nullptr || focusedNotes() != nullptr) {
        invokeOnFocusedBox("paste");
    } else if (m_window.isCoinImagesShown()) {
        m_window.pastePicture();
    }
}

void EditCommands::deleteSelection() const {
    if (QLineEdit* line = focusedLine()) {
        if (line->hasSelectedText() && !line->isReadOnly()) {
            line->insert(QString());
        }
    } else if (QPlainTextEdit* notes = focusedNotes()) {
        if (!notes->isReadOnly()) {
            notes->textCursor().removeSelectedText();
        }
    } else if (picturesSelected()) {
        m_window.deleteSelectedPicture();
    }
}

void EditCommands::selectAll() const {
    invokeOnFocusedBox("selectAll");
}

void EditCommands::takeDeleteKeyOf(QWidget* textBox) {
    textBox->installEventFilter(this);
}

bool EditCommands::eventFilter(QObject* watched, QEvent* event) {
    // Not taken by the box, the key reaches the menu's shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
