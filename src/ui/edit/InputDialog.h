#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The small input window (frmDialog) that asks for one line of text: a prompt,
// the input box, OK as the default button and Cancel as the cancel button.
// Its buttons hide it rather than close it, so its texts stay until the next
// use sets them.
class InputDialog : public QDialog {
    Q_OBJECT
public:
    explicit InputDialog(QWidget* owner);

    void setPrompt(const QString& prompt);
    void setText(const QString& text);
    QString text() const;
    // True unless the last showing ended with OK.
    bool wasCancelled() const { return m_cancelled; }
    // Before showing: the next showing counts as cancelled until OK.
    void expectAnswer() { m_cancelled = true; }

    QLineEdit* textBox() const { return m_text; }

signals:
    // OK was pressed; the text as typed.
    void okPressed(const QString& text);

public slots:
    // Cancel, Escape and the close box.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onOk();

    QLabel* m_prompt = nullptr;
    QLineEdit* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelled = true;
};
