#include "ui/pictures/FullSizeView.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "platform/Platform.h"
#include "ui/common/Controls.h"
#include "ui/common/Twips.h"
#include "ui/pictures/FittedPicture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

FullSizeView::FullSizeView(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmShowImage"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ui::setBackground(this, ui::kWhite);
    m_natural = ui::named(new QLabel(this), QStringLiteral("picShowImage"));
    m_scaled = ui::named(new QLabel(this), QStringLiteral("imgShowImage"));
    m_scaled->setScaledContents(true);
    m_scaled->hide();
    for (QLabel* image : {m_natural, m_scaled}) {
        image->move(0, 0);
        image->installEventFilter(this);
    }
}

void FullSizeView::showPicture(const QPixmap& picture, const ui::FullSizeLayout& layout) {
    const QSize inner =
        QSize(ui::px(layout.innerWidth), ui::px(layout.innerHeight)).expandedTo(QSize(1, 1));
    setFixedSize(inner);
    if (layout.scaled) {
        m_natural->clear();
        m_natural->hide();
        m_scaled->setGeometry(QRect(QPoint(0, 0), inner));
        m_scaled->setPixmap(picture);
        m_scaled->show();
    } else {
        m_natural->setGeometry(QRect(QPoint(0, 0), inner));
        m_natural->setPixmap(picture);
    }
}

bool FullSizeView::eventFilter(QObject* watched, QEvent* event) {
    // A click: pressed and released on the picture.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            if (event->type() == QEvent::MouseButtonPress) {
                m_pressed = watched;
            } else if (m_pressed == watched && static_cast<QWidget*>(watched)->rect().contains(
                                                   mouse->position().toPoint())) {
                reject();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace ui {

void showPictureFullSize(const QString& name, QWidget* mainWindow, float mainWindowWidthTwips) {
    app::Guard guard;
    FullSizeView view(mainWindow);
    // The window's own border is not known before it is shown; the main
    // window's is the nearest guess.
    const QSize frame =
        mainWindow ? mainWindow->frameGeometry().size() - mainWindow->size() : QSize();
    const QScreen* screen = mainWindow ? mainWindow->screen() : view.screen();
    const float maxHeight =
        screen ? static_cast<float>(twips(screen->availableGeometry().height())) : 0.0f;
    const auto layoutFor = [&](QSize natural) {
        return fullSizeLayout(
            static_cast<float>(twips(natural.width())), static_cast<float>(twips(natural.height())),
            static_cast<float>(twips(frame.width())), static_cast<float>(twips(frame.height())),
            mainWindowWidthTwips, maxHeight);
    };
    guard.step([&] {
        const FittedPicture picture = loadFittedOrInvalid(
            app::nativePath(app::programPath(name)),
            [&](QSize natural) {
                const FullSizeLayout l = layoutFor(natural);
                return QSize(px(l.innerWidth), px(l.innerHeight));
            },
            view.devicePixelRatioF());
        view.showPicture(picture.loaded.pixmap, layoutFor(picture.naturalSize));
    });
    view.setWindowTitle(QStringLiteral("  To close this view, click on the image"));
    guard.step([&] { platform::modalDialogs().exec(view); });
}

} // namespace ui
