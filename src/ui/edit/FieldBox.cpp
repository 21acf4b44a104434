#include "ui/edit/FieldBox.h"

#include "store/Fields.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <limits>

namespace {

// Long coin types do not fit the box: the chosen entry is shown with an
// ellipsis instead of cut mid-letter, and the open list is as wide as its
// longest entry whatever the style would make of it.
class AttributeComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        const int scroll = view()->verticalScrollBar()->sizeHint().width();
        view()->setMinimumWidth(view()->sizeHintForColumn(0) + scroll + 2 * view()->frameWidth());
        QComboBox::showPopup();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QStylePainter p(this);
        p.setPen(palette().color(QPalette::Text));
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect field =
            style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        opt.currentText =
            fontMetrics().elidedText(opt.currentText, Qt::ElideRight, field.width() - 2);
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
    }
};

} // namespace

FieldBox FieldBox::create(const store::FieldInfo& field, QWidget* parent) {
    const QString key(field.key);
    if (field.kind == store::FieldKind::List) {
        auto* box = new AttributeComboBox(parent);
        box->setObjectName(key);
        box->addItems(store::listEntries(field.field));
        box->setCurrentIndex(-1);
        // The box may be narrower than its longest entry; the tip shows it whole.
        QObject::connect(box, &QComboBox::currentTextChanged, box,
                         [box](const QString& text) { box->setToolTip(text); });
        return {Kind::Choice, box};
    }
    if (field.kind == store::FieldKind::MultiLineText) {
        auto* notes = new QPlainTextEdit(parent);
        notes->setObjectName(key);
        // Tab moves to the next box, as everywhere else in the window.
        notes->setTabChangesFocus(true);
        return {Kind::Notes, notes};
    }
    auto* line = new QLineEdit(parent);
    line->setObjectName(key);
    // A stored value of any length is shown and saved whole.
    line->setMaxLength(std::numeric_limits<int>::max());
    return {Kind::Text, line};
}

QString FieldBox::name() const {
    return m_widget->objectName();
}

bool FieldBox::isEnabled() const {
    return m_widget->isEnabled();
}

QString FieldBox::text() const {
    switch (m_kind) {
    case Kind::Text:
        return lineEdit()->text();
    case Kind::Notes:
        return static_cast<QPlainTextEdit*>(m_widget)->toPlainText();
    case Kind::Choice:
        break;
    }
    const QComboBox* combo = comboBox();
    return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}

void FieldBox::setText(const QString& text) const {
    if (m_kind == Kind::Text) {
        lineEdit()->setText(text);
    } else if (m_kind == Kind::Notes) {
        static_cast<QPlainTextEdit*>(m_widget)->setPlainText(text);
    }
}

int FieldBox::chosenRow() const {
    return m_kind == Kind::Choice ? comboBox()->currentIndex() : -1;
}

void FieldBox::setChosenRow(int row) const {
    if (m_kind == Kind::Choice) {
        comboBox()->setCurrentIndex(row);
    }
}

QLineEdit* FieldBox::lineEdit() const {
    return m_kind == Kind::Text ? static_cast<QLineEdit*>(m_widget) : nullptr;
}

QComboBox* FieldBox::comboBox() const {
    return m_kind == Kind::Choice ? static_cast<QComboBox*>(m_widget) : nullptr;
}
