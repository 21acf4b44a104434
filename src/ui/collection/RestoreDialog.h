#pragma once

#include "store/Backups.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTreeWidget;

// File > Restore from Backup...: the dated backups, newest first, with the
// date and time each was saved and the number of coins it holds.
class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    RestoreDialog(QWidget* owner, std::vector<store::DatedBackup> backups);

    // The backup chosen when the dialog was accepted.
    const store::DatedBackup* chosen() const;
    QTreeWidget* list() const { return m_list; }

private:
    std::vector<store::DatedBackup> m_backups;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_restore = nullptr;
};
