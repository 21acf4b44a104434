#pragma once

#include <QObject>

class CommandWindow;
class QWidget;

// The Edit menu's commands. Each acts on the text box that has the keyboard
// focus, as the box itself would; on the Coin Images panel, when no text box
// has the focus, Delete Selection removes the selected picture instead and
// Paste adds the clipboard's pictures.
class EditCommands : public QObject {
    Q_OBJECT
public:
    EditCommands(CommandWindow& window, QObject* parent);

    struct States {
        bool undo = false;
        bool cut = false;
        bool copy = false;
        bool paste = false;
        bool deleteSelection = false;
        bool selectAll = false;
    };
    // Which commands can act now, as the menu shows them when it opens.
    States enablingRule() const;

    void undo() const;
    void cut() const;
    void copy() const;
    void paste() const;
    void deleteSelection() const;
    void selectAll() const;

    // The Delete key in a text box is Delete Selection, as the menu's own
    // shortcut: it removes the selection and nothing when there is none.
    void takeDeleteKeyOf(QWidget* textBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool picturesSelected() const;

    CommandWindow& m_window;
};
