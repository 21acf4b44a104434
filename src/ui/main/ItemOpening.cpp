// Moving an item between the item table and the window's boxes, the
// snapshots that tell unsaved changes, and the way back to the home page.
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/ItemDatabase.h"
#include "store/ItemRecord.h"
#include "ui/common/PictureLoading.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

const QString kPictureKeyUpper = QStringLiteral("G_SLISTOFIMAGESFORITEM");

bool isTextBox(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

void setBoxText(QWidget* w, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(text);
    } else if (auto* notes = qobject_cast<QPlainTextEdit*>(w)) {
        notes->setPlainText(text);
    }
}

QString boxText(const QWidget* w) {
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
bool isSnapshotBox(const QWidget* w) {
    const QString upper = w->objectName().toUpper();
    return !upper.startsWith(QLatin1String("TXT10CF")) &&
           !upper.startsWith(QLatin1String("TXT5CF")) &&
           !upper.startsWith(QLatin1String("CMBCFAYEARS"));
}

// The last item whose stored description equals the text, letter case ignored.
qint32 findItemByDescription(const QString& upperDescription, qint32 notFound) {
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

void MainWindow::openItemByDescription(QString& sDescription) {
    app::Guard guard;
    guard.step([&] { g_nHomePageFirstItem = app::cLng(m_home->cardTag(1)); });
    guard.step([&] { store::g_sListOfImagesForItem = QStringList(QString()); });
    guard.step([&] { resetPictureSelection(); });
    guard.step([&] { m_strip->clearThumbnails(); });
    guard.step([&] { clearItemFields(); });
    guard.step([&] { sDescription = app::trimBlanks(sDescription).toUpper(); });
    guard.step([&] {
        store::g_lCurrentItem = findItemByDescription(sDescription, store::g_lCurrentItem);
    });
    guard.step([&] { loadItemIntoWindow(); });
    guard.step([&] {
        m_strip->scrollBar()->setValue(0);
        m_strip->fillPictureStrip();
    });
    guard.step([&] {
        takeCleanSnapshot();
        m_changed = false;
    });
    guard.step([&] { showDetailPanel(Panel::DetailedInfo); });
    guard.step([&] {
        m_nav->itemBar()->show();
        m_nav->homeBar()->hide();
    });
    guard.step([&] { cornerFollowsFirstThumbnail(); });
}

void MainWindow::cornerFollowsFirstThumbnail() {
    const QPixmap first = m_strip->thumbnailPicture(1);
    if (first.isNull() || first.height() < 1) {
        setCornerPicture(app::g_sDefaultImagePath);
        return;
    }
    // Decode the same file again at the corner's size where it can be read.
    const qint32 index = app::toLong(m_strip->thumbnailTag(1)).value_or(0);
    if (index >= 1 && index < store::g_sListOfImagesForItem.size()) {
        const ui::LoadedPicture own = ui::loadPictureScaled(
            app::nativePath(app::programPath(store::g_sListOfImagesForItem[index])),
            m_cornerImage->size(), devicePixelRatioF());
        if (own.status == ui::PictureStatus::Loaded) {
            m_cornerImage->setPixmap(own.pixmap);
            return;
        }
    }
    m_cornerImage->setPixmap(first);
}

void MainWindow::setCornerPicture(const QString& pathText) {
    const ui::LoadedPicture picture = ui::loadPictureScaled(
        app::nativePath(pathText), m_cornerImage->size(), devicePixelRatioF());
    if (picture.status != ui::PictureStatus::Loaded) {
        app::raise(picture.status == ui::PictureStatus::NotAPicture ? app::kFileNotFound
                                                                    : app::kInvalidPicture);
    }
    m_cornerImage->setPixmap(picture.pixmap);
}

void MainWindow::clearItemFields() {
    app::Guard guard;
    for (QWidget* w : m_controls) {
        guard.step([&] {
            if (isTextBox(w)) {
                if (w->isEnabled()) {
                    setBoxText(w, QString());
                }
            } else if (auto* combo = qobject_cast<QComboBox*>(w);
                       combo && store::isAttributeChoice(w->objectName())) {
                combo->setCurrentIndex(-1);
            }
        });
    }
}

void MainWindow::loadItemIntoWindow() {
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
                if (isTextBox(w)) {
                    if (w->isEnabled()) {
                        setBoxText(w, store::decodeText(v));
                    }
                } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                    const qint32 row = app::cLng(v);
                    if (row < -1 || row >= combo->count()) {
                        app::raise(app::kInvalidPropertyValue);
                    }
                    combo->setCurrentIndex(row);
                }
            }
        });
    }
}

QStringList MainWindow::snapshot() const {
    QStringList snapshot{QString()};
    for (QWidget* w : m_controls) {
        if (isSnapshotBox(w)) {
            snapshot.append(app::trimBlanks(boxText(w)).toUpper());
        }
    }
    return snapshot;
}

void MainWindow::takeCleanSnapshot() {
    m_cleanSnapshot = snapshot();
    m_changed = false;
}

void MainWindow::takeCurrentSnapshot() {
    m_currentSnapshot = snapshot();
}

bool MainWindow::hasUnsavedChanges() const {
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

void MainWindow::removeItemByDescription(QString& sDescription) {
    app::Guard guard;
    qint32 n = 0;
    guard.step([&] { sDescription = app::trimBlanks(sDescription).toUpper(); });
    guard.step([&] { n = findItemByDescription(sDescription, 0); });
    guard.step([&] { store::saveAllItems(n); });
    guard.step([&] { store::loadAllItems(); });
    guard.step([&] {
        qint32 first = 1;
        m_home->loadPropertiesOnMainPage(first, QString());
    });
}

void MainWindow::showHomePage() {
    app::Guard guard;
    guard.step([&] { m_home->frame()->show(); });
    guard.step([&] { setScrollableHeight(m_homeFrameHeight - 660); });
    guard.step([&] { hideAllPanels(); });
    guard.step([&] { layoutWindow(); });
    guard.step([&] { m_home->frame()->show(); });
    guard.step([&] {
        m_nav->itemBar()->hide();
        m_nav->homeBar()->show();
    });
    guard.step([&] { setCornerPicture(app::g_sDefaultImagePath); });
    guard.step([&] {
        if (m_corner->isVisible()) {
            m_corner->setFocus();
        }
    });
    guard.step([&] {
        m_home->loadPropertiesOnMainPage(g_nHomePageFirstItem, m_home->filterBox()->currentText());
    });
}
