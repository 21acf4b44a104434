#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace app {
namespace {
QString& overriddenFolder() {
    static QString folder;
    return folder;
}

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}
} // namespace

QString programFolder() {
    if (!overriddenFolder().isEmpty()) {
        return overriddenFolder();
    }
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder) {
    overriddenFolder() = folder;
}

QString joinPath(const QString& folder, const QString& relative) {
    const QString base = folder.trimmed();
    QStringView rest(relative);
    if (!base.isEmpty() && isSeparator(base.back())) {
        while (!rest.isEmpty() && isSeparator(rest.front())) {
            rest = rest.mid(1);
        }
        return base + rest.toString();
    }
    if (!rest.isEmpty() && isSeparator(rest.front())) {
        return base + rest.toString();
    }
    return base + u'\\' + rest.toString();
}

QString programPath(const QString& relative) {
    return joinPath(programFolder(), relative);
}

QString defaultImagePath() {
    return programPath(QStringLiteral("\\_images\\corvantheil5.jpg"));
}

QString nativePath(const QString& path) {
    QString p = path;
    p.replace(u'\\', u'/');
    return QDir::toNativeSeparators(p);
}

} // namespace app
