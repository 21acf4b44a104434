#include "ui/collection/RestoreDialog.h"

#include "app/RegionalFormats.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RestoreDialog::RestoreDialog(QWidget* owner, std::vector<store::DatedBackup> backups)
    : QDialog(owner), m_backups(std::move(backups)), m_list(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("frmRestoreBackup"));
    setWindowTitle(QStringLiteral("Restore from Backup"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        m_backups.empty()
            ? QStringLiteral("There are no backups yet. One is kept each time the collection "
                             "is saved.")
            : QStringLiteral("Choose the collection as it was saved at an earlier time. The "
                             "collection as it is now is kept as one more backup."),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);

    m_list->setObjectName(QStringLiteral("lstBackups"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Saved"), QStringLiteral("Coins")});
    for (const store::DatedBackup& b : m_backups) {
        auto* row = new QTreeWidgetItem(m_list);
        row->setText(0, app::formatGeneralDate(b.saved));
        row->setText(1, b.coins ? QString::number(*b.coins) : QStringLiteral("?"));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("cmdRestore"));
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    const auto follow = [this] { m_restore->setEnabled(m_list->currentItem() != nullptr); };
    connect(m_list, &QTreeWidget::currentItemChanged, this, follow);
    if (!m_backups.empty()) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    follow();
    m_restore->setDefault(true);
    resize(420, 360);
}

const store::DatedBackup* RestoreDialog::chosen() const {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < static_cast<int>(m_backups.size())
               ? &m_backups[static_cast<std::size_t>(row)]
               : nullptr;
}
