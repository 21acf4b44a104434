#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;
class QPushButton;

// frmAbout: one small modal window that the newsletter command and the About
// command fill differently. Each use builds it afresh, so nothing of one use
// is left for the next.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* title() const { return m_title; }
    QLabel* copyright() const { return m_copyright; }
    QLabel* note() const { return m_note; }
    QLabel* smallPrint() const { return m_smallPrint; }

    // The link's text and the address it opens.
    void setLink(const QString& text, const QString& address);
    // The logo picture; raises 53 or 481 when it cannot be shown.
    void setIcon(const QString& picturePath);

private:
    QLabel* m_icon;
    QLabel* m_title;
    QLabel* m_copyright;
    LinkLabel* m_link;
    QLabel* m_note;
    QLabel* m_smallPrint;
    QPushButton* m_ok;
};

// Help > The Corvantheil Newsletter... and Help > About: fill a new frmAbout,
// show it modally over the window and destroy it when it is closed.
void showNewsletterBox(QWidget* window);
void showAboutBox(QWidget* window);
