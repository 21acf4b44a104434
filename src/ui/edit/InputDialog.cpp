#include "ui/edit/InputDialog.h"

#include "ui/common/Controls.h"
#include "ui/common/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

InputDialog::InputDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("Save Item As..."));
    setModal(true);
    // A fixed dialog frame with a close box, no help or resize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

    m_prompt = ui::named(new QLabel(QStringLiteral("Please Enter a Property Name"), this),
                         QStringLiteral("lblLabel"));
    m_prompt->setTextFormat(Qt::PlainText);
    ui::placeTwips(m_prompt, 120, 120, 4200, 255);

    m_text = ui::named(new QLineEdit(this), QStringLiteral("txtTextBox"));
    m_text->setFont(QFont(QStringLiteral("Verdana"), 9));
    ui::placeTwips(m_text, 120, 480, 4200, 345);
    m_text->installEventFilter(this);

    m_ok = ui::named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("OKButton"));
    ui::placeTwips(m_ok, 4560, 120, 1215, 345);
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &InputDialog::onOk);

    m_cancel =
        ui::named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("CancelButton"));
    ui::placeTwips(m_cancel, 4560, 480, 1215, 345);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &InputDialog::reject);

    setFixedSize(ui::px(5895), ui::px(945));
}

void InputDialog::setPrompt(const QString& prompt) {
    m_prompt->setText(prompt);
}

void InputDialog::setText(const QString& text) {
    m_text->setText(text);
}

QString InputDialog::text() const {
    return m_text->text();
}

bool InputDialog::eventFilter(QObject* watched, QEvent* event) {
    // Entering the box selects its whole text, so typing replaces it.
    if (watched == m_text && event->type() == QEvent::FocusIn) {
        m_text->selectAll();
    }
    return QDialog::eventFilter(watched, event);
}

void InputDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The input box takes the focus each time the dialog shows.
    m_text->setFocus(Qt::ActiveWindowFocusReason);
}

void InputDialog::onOk() {
    emit okPressed(m_text->text());
    m_text->setFocus();
    setResult(QDialog::Accepted);
    hide();
    m_cancelled = false;
}

void InputDialog::reject() {
    m_cancelled = true;
    // Hidden, not closed: hiding ends the modal wait and keeps the texts.
    setResult(QDialog::Rejected);
    hide();
}
