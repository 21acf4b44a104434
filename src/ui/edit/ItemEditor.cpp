#include "ui/edit/ItemEditor.h"

#include "app/ErrorLog.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "ui/common/Controls.h"
#include "ui/edit/ChangeTracking.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {

const QColor kGain(0, 128, 0);
const QColor kLoss(255, 0, 0);

} // namespace

ItemEditor::ItemEditor(QWidget* boxParent) : QObject(boxParent) {
    for (const store::FieldInfo& field : store::fields()) {
        m_boxes.push_back(FieldBox::create(field, boxParent));
    }
    using store::Field;
    connect(fieldBox(Field::Description).lineEdit(), &QLineEdit::textChanged, this,
            &ItemEditor::descriptionChanged);
    for (Field amount : {Field::PurchasePrice, Field::CurrentValue}) {
        connect(fieldBox(amount).lineEdit(), &QLineEdit::textChanged, this,
                &ItemEditor::updateChangeInValue);
    }
    for (Field field :
         {Field::Year, Field::MiscNotes, Field::Description, Field::Country, Field::ItemNumber}) {
        fieldBox(field).widget()->installEventFilter(this);
    }
}

bool ItemEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        emit selectionResettingBoxFocused();
    }
    return QObject::eventFilter(watched, event);
}

void ItemEditor::updateChangeInValue() const {
    QLineEdit* box = fieldBox(store::Field::ChangeInValue).lineEdit();
    const ChangeInValue change = ::updateChangeInValue(
        text(store::Field::CurrentValue), text(store::Field::PurchasePrice), box->text());
    box->setText(change.text);
    ui::setTextColour(box, change.loss ? kLoss : kGain);
}

void ItemEditor::setText(const QString& name, const QString& text) const {
    if (const FieldBox* b = find(name)) {
        b->setText(text);
    }
}

const FieldBox* ItemEditor::find(const QString& name) const {
    for (const FieldBox& b : m_boxes) {
        if (b.name() == name) {
            return &b;
        }
    }
    return nullptr;
}

QWidget* ItemEditor::box(const QString& name) const {
    const FieldBox* b = find(name);
    return b != nullptr ? b->widget() : nullptr;
}

QString ItemEditor::text(const QString& name) const {
    const FieldBox* b = find(name);
    return b != nullptr ? b->text() : QString();
}

store::FieldTexts ItemEditor::texts() const {
    store::FieldTexts texts;
    for (const store::FieldInfo& f : store::fields()) {
        texts[f.field] = fieldBox(f.field).text();
    }
    return texts;
}

void ItemEditor::clearItemFields() {
    for (const FieldBox& b : m_boxes) {
        if (!b.isTextBox()) {
            b.setChosenRow(-1);
        } else if (b.isEnabled()) {
            b.setText(QString());
        }
    }
}

void ItemEditor::loadItemIntoWindow(const store::CoinRecord& record) {
    app::Guard guard;
    m_storedDescription = record.description();
    for (qsizetype k = 0; k < record.size(); ++k) {
        const store::IniEntry field{record.key(k), record.value(k)};
        if (field.key.isEmpty()) {
            continue;
        }
        if (store::isPictureKey(field.key)) {
            m_pictures.append(field.value);
            continue;
        }
        for (const FieldBox& b : m_boxes) {
            if (b.name().compare(field.key, Qt::CaseInsensitive) != 0) {
                continue;
            }
            if (b.isTextBox()) {
                if (b.isEnabled()) {
                    b.setText(store::decodeText(field.value));
                }
                continue;
            }
            // A stored row that is no row of the list changes nothing.
            guard.step([&] {
                const qint32 row = app::cLng(field.value);
                if (row < -1 || row >= b.comboBox()->count()) {
                    app::raise(app::kInvalidPropertyValue);
                }
                b.setChosenRow(row);
            });
        }
    }
    // Change in Value follows the stored amounts, whatever text was stored for it.
    updateChangeInValue();
}

store::CoinRecord ItemEditor::record() const {
    store::CoinRecord record;
    for (const FieldBox& b : m_boxes) {
        if (!b.isEnabled() || app::isBlankText(b.text())) {
            continue;
        }
        record.append(b.name(),
                      b.isTextBox() ? store::encodeText(b.text()) : QString::number(b.chosenRow()));
    }
    for (qsizetype i = 0; i < m_pictures.size(); ++i) {
        if (!m_pictures[i].isEmpty()) {
            record.append(store::pictureKey(i + 1), m_pictures[i]);
        }
    }
    if (m_pictures.isEmpty()) {
        record.append(store::kFirstPictureKey, QString());
    }
    return record;
}

void ItemEditor::stampRecordLastUpdated(const QDateTime& when) {
    fieldBox(store::Field::RecordLastUpdated).setText(app::formatGeneralDate(when));
}

QStringList ItemEditor::takeCurrentSnapshot() const {
    QStringList snapshot;
    for (const FieldBox& b : m_boxes) {
        snapshot.append(app::trimBlanks(b.text()).toUpper());
    }
    return snapshot;
}

void ItemEditor::takeCleanSnapshot() {
    m_cleanSnapshot = takeCurrentSnapshot();
    m_changed = false;
}

bool ItemEditor::hasUnsavedChanges() const {
    return m_changed || takeCurrentSnapshot() != m_cleanSnapshot;
}
