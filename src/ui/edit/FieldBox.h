#pragma once

#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
namespace store {
struct FieldInfo;
}

// A box that edits one field of the open item: a text box, a notes box or an
// attribute list. The one place that reads and writes boxes by their kind.
class FieldBox {
public:
    enum class Kind { Text, Notes, Choice };

    // The box for a field, named after its key, of the kind the field calls for.
    static FieldBox create(const store::FieldInfo& field, QWidget* parent);

    QWidget* widget() const { return m_widget; }
    QString name() const;
    bool isTextBox() const { return m_kind != Kind::Choice; }
    bool isEnabled() const;

    // As shown: a list's text is its chosen row's, empty when none is chosen.
    QString text() const;
    // Text and notes boxes only.
    void setText(const QString& text) const;
    // Lists only; -1 chooses no row.
    int chosenRow() const;
    void setChosenRow(int row) const;

    QLineEdit* lineEdit() const;
    QComboBox* comboBox() const;

private:
    FieldBox(Kind kind, QWidget* widget) : m_kind(kind), m_widget(widget) {}

    Kind m_kind;
    QWidget* m_widget;
};
