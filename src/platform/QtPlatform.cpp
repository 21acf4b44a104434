#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace platform {
namespace {

QMessageBox::Icon toQtIcon(Icon icon) {
    switch (icon) {
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSet {
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton escape;
    Answer escapeAnswer;
};

ButtonSet buttonsOf(Buttons buttons) {
    switch (buttons) {
    case Buttons::OkCancel:
        return {{QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::Cancel, Answer::Cancel};
    case Buttons::YesNo:
        return {{QMessageBox::Yes, QMessageBox::No}, QMessageBox::No, Answer::No};
    case Buttons::YesNoCancel:
        return {{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel},
                QMessageBox::Cancel,
                Answer::Cancel};
    case Buttons::Ok:
        break;
    }
    return {{QMessageBox::Ok}, QMessageBox::Ok, Answer::Ok};
}

Answer toAnswer(int button, Answer fallback) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return fallback;
    }
}

// "Caption|patterns" becomes Qt's "Caption (patterns)"; patterns use blanks.
QString qtFilters(const QStringList& filters) {
    QStringList qtFilters;
    for (const QString& f : filters) {
        const qsizetype bar = f.indexOf(u'|');
        const QString caption = bar < 0 ? f : f.left(bar);
        QString patterns = bar < 0 ? f : f.mid(bar + 1);
        patterns.replace(u';', u' ');
        // Patterns are matched without regard to letter case, as the caption promises.
        QStringList both;
        for (const QString& p : patterns.split(u' ', Qt::SkipEmptyParts)) {
            both << p << p.toLower();
        }
        both.removeDuplicates();
        qtFilters << QStringLiteral("%1 (%2)").arg(caption, both.join(u' '));
    }
    return qtFilters.join(QStringLiteral(";;"));
}

} // namespace

Answer QtMessageBoxes::show(const MessageRequest& request) {
    QMessageBox box(toQtIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const ButtonSet set = buttonsOf(request.buttons);
    for (QMessageBox::StandardButton b : set.buttons) {
        box.addButton(b);
    }
    const int defaultIndex = request.defaultButton - 1;
    if (defaultIndex >= 0 && defaultIndex < set.buttons.size()) {
        box.setDefaultButton(set.buttons[defaultIndex]);
    }
    box.setEscapeButton(set.escape);
    return toAnswer(box.exec(), set.escapeAnswer);
}

QStringList QtFileDialogs::openFiles(const QString& title, const QStringList& filters,
                                     const QString& folder) {
    QStringList paths = QFileDialog::getOpenFileNames(QApplication::activeWindow(), title, folder,
                                                      qtFilters(filters));
    for (QString& path : paths) {
        path = QDir::toNativeSeparators(path);
    }
    return paths;
}

std::optional<QString> QtFileDialogs::openFile(const QString& title, const QStringList& filters,
                                               const QString& folder) {
    const QString path = QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder,
                                                      qtFilters(filters));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(path);
}

std::optional<QString> QtFileDialogs::saveFile(const QString& title, const QStringList& filters,
                                               const QString& suggested) {
    QFileDialog dialog(QApplication::activeWindow(), title, {}, qtFilters(filters));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an ending gets the first filter's, before the
    // dialog asks whether to replace a file of that name.
    const QString first = filters.value(0).section(u'|', 1).section(u';', 0, 0);
    if (first.startsWith(QStringLiteral("*."))) {
        dialog.setDefaultSuffix(first.mid(2).toLower());
    }
    // The proposed folder, or the home folder where that is missing.
    const QFileInfo proposed(suggested);
    dialog.setDirectory(proposed.absoluteDir().exists() ? proposed.absolutePath()
                                                        : QDir::homePath());
    dialog.selectFile(proposed.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

bool QtShell::open(const QString& target, std::function<void()> failedLater) {
    QUrl url;
    if (target.startsWith(QStringLiteral("http"), Qt::CaseInsensitive)) {
        url = QUrl(target, QUrl::TolerantMode);
    } else {
        QString local = target;
        local.replace(u'\\', u'/');
        url = QUrl::fromLocalFile(local);
    }
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty()) {
        return QDesktopServices::openUrl(url);
    }
    // Unparented and deleted only once it ends: where no desktop takes the request,
    // xdg-open waits for the browser, which must outlive this program.
    auto* process = new QProcess;
    process->setProgram(launcher);
    process->setArguments({QString::fromLatin1(url.toEncoded())});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    QObject::connect(process, &QProcess::finished, process,
                     [process, clock, window = m_failureWindow,
                      failedLater = std::move(failedLater)](int code, QProcess::ExitStatus how) {
                         const bool failed = how != QProcess::NormalExit || code != 0;
                         if (failed && clock.elapsed() < window.count() && failedLater) {
                             failedLater();
                         }
                         process->deleteLater();
                     });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

int QtModalDialogs::exec(QDialog& dialog) {
    return dialog.exec();
}

void useQtSeams() {
    static QtMessageBoxes boxes;
    static QtFileDialogs fileDialogs;
    static QtShell shell;
    static QtModalDialogs modalDialogs;
    install(&boxes);
    install(&fileDialogs);
    install(&shell);
    install(&modalDialogs);
}

} // namespace platform
