#pragma once

#include "store/CoinRecord.h"
#include "store/Fields.h"
#include "ui/edit/FieldBox.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <optional>
#include <vector>

// The open item: one box per field of the record, in the record's key order,
// its picture list, where it stands in the collection, and what tells its
// unsaved changes (the clean snapshot and the changed mark). Edits are
// followed at once: the description goes to the panel titles, and the Change
// in Value box follows the current value and the purchase price.
class ItemEditor : public QObject {
    Q_OBJECT
public:
    // The boxes are made here, parented to `boxParent`; the panels place them.
    explicit ItemEditor(QWidget* boxParent);

    const std::vector<FieldBox>& boxes() const { return m_boxes; }
    // The box of a field; the boxes follow the field table's order.
    const FieldBox& fieldBox(store::Field field) const {
        return m_boxes[static_cast<std::size_t>(field)];
    }
    QWidget* box(store::Field field) const { return fieldBox(field).widget(); }
    QString text(store::Field field) const { return fieldBox(field).text(); }
    // Text and notes boxes; runs their change handling as typing would.
    void setText(store::Field field, const QString& text) const { fieldBox(field).setText(text); }
    // The same by the box's name (its field's key); null, empty or nothing
    // for a name that is no field.
    QWidget* box(const QString& name) const;
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text) const;
    // Every box's text as shown.
    store::FieldTexts texts() const;

    // Every enabled text box emptied, the three lists without a chosen row.
    void clearItemFields();
    // The record's fields into their boxes and its pictures into the list.
    void loadItemIntoWindow(const store::CoinRecord& record);
    // The boxes and pictures as the collection stores them: enabled, not
    // blank, encoded; the pictures after the boxes.
    store::CoinRecord record() const;
    void stampRecordLastUpdated(const QDateTime& when);

    // Where the open item stands in the collection; none for a new item.
    std::optional<qsizetype> position() const { return m_position; }
    void setPosition(std::optional<qsizetype> position) { m_position = position; }
    bool isNewItem() const { return !m_position.has_value(); }
    // The description the open item had in the file when it was opened or last saved.
    const QString& storedDescription() const { return m_storedDescription; }
    void setStoredDescription(const QString& description) { m_storedDescription = description; }

    // The open item's pictures, first picture first. An item stored without
    // pictures comes back with one empty name.
    const QStringList& pictures() const { return m_pictures; }
    void setPictures(QStringList pictures) { m_pictures = std::move(pictures); }
    // Set when the picture list changed; typing is found by the snapshots.
    void markChanged() { m_changed = true; }

    // The boxes as they are now become the unchanged state.
    void takeCleanSnapshot();
    // A box differs from the clean snapshot (blanks around and letter case
    // aside), or the picture list changed.
    bool hasUnsavedChanges() const;

    // Recomputes Change in Value from the two amounts, with its colour.
    void updateChangeInValue() const;

signals:
    void descriptionChanged(const QString& description);
    // The focus entered a box that clears the picture selection: Description,
    // Year, Country, Item # or the first notes box.
    void selectionResettingBoxFocused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList takeCurrentSnapshot() const;
    const FieldBox* find(const QString& name) const;

    std::vector<FieldBox> m_boxes;
    QStringList m_pictures;
    std::optional<qsizetype> m_position;
    QString m_storedDescription;
    QStringList m_cleanSnapshot;
    bool m_changed = false;
};
