// Moving an item between the item table and the window's boxes, the
// snapshots that tell unsaved changes, and the way back to the home page.
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/ItemDatabase.h"
#include "store/ItemRecord.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PictureLoading.h"
#include "ui/pictures/PictureStrip.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

const QString kPictureKeyUpper = QStringLiteral("G_SLISTOFIMAGESFORITEM");

bool IsTextBox(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

void SetBoxText(QWidget* w, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(text);
    } else if (auto* notes = qobject_cast<QPlainTextEdit*>(w)) {
        notes->setPlainText(text);
    }
}

QString BoxText(const QWidget* w) {
    if (auto* line = qobject_cast<const QLineEdit*>(w)) {
        return line->text();
    }
    if (auto* notes = qobject_cast<const QPlainTextEdit*>(w)) {
        return notes->toPlainText();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        return combo->currentIndex() >= 0 ? combo->currentText() : QString();
    }
    return QString();
}

// Boxes of cash-flow worksheets never count as item changes.
bool IsSnapshotBox(const QWidget* w) {
    const QString upper = w->objectName().toUpper();
    return !upper.startsWith(QLatin1String("TXT10CF")) &&
           !upper.startsWith(QLatin1String("TXT5CF")) &&
           !upper.startsWith(QLatin1String("CMBCFAYEARS"));
}

// The last item whose stored description equals the text, letter case ignored.
qint32 FindItemByDescription(const QString& upperDescription, qint32 notFound) {
    qint32 found = notFound;
    for (qint32 i = 1; i <= store::g_lNumberOfItems && i <= store::g_sAllItems.itemBound(); ++i) {
        for (const store::IniEntry& slot : store::g_sAllItems.ownSlots(i)) {
            if (slot.key.compare(QLatin1String("txtDescription"), Qt::CaseInsensitive) == 0 &&
                slot.value.toUpper() == upperDescription) {
                found = i;
            }
        }
    }
    return found;
}

} // namespace

void frmMain::OpenItemByDescription(QString& sDescription) {
    app::Guard guard;
    guard.step([&] { g_nHomePageFirstItem = app::CLng(m_home->CardTag(1)); });
    guard.step([&] { store::g_sListOfImagesForItem = QStringList(QString()); });
    guard.step([&] { ResetPictureSelection(); });
    guard.step([&] { m_strip->ClearThumbnails(); });
    guard.step([&] { ClearItemFields(); });
    guard.step([&] { sDescription = app::TrimBlanks(sDescription).toUpper(); });
    guard.step([&] {
        store::g_lCurrentItem = FindItemByDescription(sDescription, store::g_lCurrentItem);
    });
    guard.step([&] { LoadItemIntoWindow(); });
    guard.step([&] {
        m_strip->scrollBar()->setValue(0);
        m_strip->FillPictureStrip();
    });
    guard.step([&] {
        TakeCleanSnapshot();
        m_changed = false;
    });
    guard.step([&] { ShowDetailPanel(Panel::DetailedInfo); });
    guard.step([&] {
        m_nav->itemBar()->show();
        m_nav->homeBar()->hide();
    });
    guard.step([&] { CornerFollowsFirstThumbnail(); });
}

void frmMain::CornerFollowsFirstThumbnail() {
    const QPixmap first = m_strip->ThumbnailPicture(1);
    if (first.isNull() || first.height() < 1) {
        SetCornerPicture(app::g_sDefaultImagePath);
        return;
    }
    // Decode the same file again at the corner's size where it can be read.
    const qint32 index = app::ToLong(m_strip->ThumbnailTag(1)).value_or(0);
    if (index >= 1 && index < store::g_sListOfImagesForItem.size()) {
        const ui::LoadedPicture own = ui::LoadPictureScaled(
            app::NativePath(app::ProgramPath(store::g_sListOfImagesForItem[index])),
            m_cornerImage->size(), devicePixelRatioF());
        if (own.status == ui::PictureStatus::Loaded) {
            m_cornerImage->setPixmap(own.pixmap);
            return;
        }
    }
    m_cornerImage->setPixmap(first);
}

void frmMain::SetCornerPicture(const QString& pathText) {
    const ui::LoadedPicture picture = ui::LoadPictureScaled(
        app::NativePath(pathText), m_cornerImage->size(), devicePixelRatioF());
    if (picture.status != ui::PictureStatus::Loaded) {
        app::Raise(picture.status == ui::PictureStatus::NotAPicture ? app::kFileNotFound
                                                                    : app::kInvalidPicture);
    }
    m_cornerImage->setPixmap(picture.pixmap);
}

void frmMain::ClearItemFields() {
    app::Guard guard;
    for (QWidget* w : m_controls) {
        guard.step([&] {
            if (IsTextBox(w)) {
                if (w->isEnabled()) {
                    SetBoxText(w, QString());
                }
            } else if (auto* combo = qobject_cast<QComboBox*>(w);
                       combo && store::IsAttributeChoice(w->objectName())) {
                combo->setCurrentIndex(-1);
            }
        });
    }
}

void frmMain::LoadItemIntoWindow() {
    app::Guard guard;
    // Slots past the item's own keys are empty and match no box.
    std::vector<store::IniEntry> own;
    guard.step([&] { own = store::g_sAllItems.ownSlots(store::g_lCurrentItem); });
    for (const store::IniEntry& slot : own) {
        guard.step([&] {
            const QString& k = slot.key;
            const QString& v = slot.value;
            if (k.isEmpty()) {
                return;
            }
            if (k.toUpper().contains(kPictureKeyUpper)) {
                store::g_sListOfImagesForItem.append(v);
                return;
            }
            for (QWidget* w : m_controls) {
                if (w->objectName().compare(k, Qt::CaseInsensitive) != 0) {
                    continue;
                }
                if (IsTextBox(w)) {
                    if (w->isEnabled()) {
                        SetBoxText(w, store::DecodeText(v));
                    }
                } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                    const qint32 row = app::CLng(v);
                    if (row < -1 || row >= combo->count()) {
                        app::Raise(app::kInvalidPropertyValue);
                    }
                    combo->setCurrentIndex(row);
                }
            }
        });
    }
}

QStringList frmMain::Snapshot() const {
    QStringList snapshot{QString()};
    for (QWidget* w : m_controls) {
        if (IsSnapshotBox(w)) {
            snapshot.append(app::TrimBlanks(BoxText(w)).toUpper());
        }
    }
    return snapshot;
}

void frmMain::TakeCleanSnapshot() {
    m_cleanSnapshot = Snapshot();
    m_changed = false;
}

void frmMain::TakeCurrentSnapshot() {
    m_currentSnapshot = Snapshot();
}

bool frmMain::HasUnsavedChanges() const {
    if (m_changed) {
        return true;
    }
    for (qsizetype i = 0; i < m_currentSnapshot.size(); ++i) {
        if (i >= m_cleanSnapshot.size() || m_currentSnapshot[i] != m_cleanSnapshot[i]) {
            return true;
        }
    }
    return false;
}

void frmMain::RemoveItemByDescription(QString& sDescription) {
    app::Guard guard;
    qint32 n = 0;
    guard.step([&] { sDescription = app::TrimBlanks(sDescription).toUpper(); });
    guard.step([&] { n = FindItemByDescription(sDescription, 0); });
    guard.step([&] { store::SaveAllItems(n); });
    guard.step([&] { store::LoadAllItems(); });
    guard.step([&] {
        qint32 first = 1;
        m_home->LoadPropertiesOnMainPage(first, QString());
    });
}

void frmMain::ShowHomePage() {
    app::Guard guard;
    guard.step([&] { m_home->frame()->show(); });
    guard.step([&] { SetScrollableHeight(m_homeFrameHeight - 660); });
    guard.step([&] { HideAllPanels(); });
    guard.step([&] { LayoutWindow(); });
    guard.step([&] { m_home->frame()->show(); });
    guard.step([&] {
        m_nav->itemBar()->hide();
        m_nav->homeBar()->show();
    });
    guard.step([&] { SetCornerPicture(app::g_sDefaultImagePath); });
    guard.step([&] {
        if (m_corner->isVisible()) {
            m_corner->setFocus();
        }
    });
    guard.step([&] {
        m_home->LoadPropertiesOnMainPage(g_nHomePageFirstItem, m_home->filterBox()->currentText());
    });
}
