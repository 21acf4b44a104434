#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace app {
namespace {
QString& OverriddenFolder() {
    static QString folder;
    return folder;
}

bool IsSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}
} // namespace

QString g_sDefaultImagePath;

QString ProgramFolder() {
    if (!OverriddenFolder().isEmpty()) {
        return OverriddenFolder();
    }
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString& folder) {
    OverriddenFolder() = folder;
}

QString JoinPath(const QString& folder, const QString& relative) {
    const QString base = folder.trimmed();
    QStringView rest(relative);
    if (!base.isEmpty() && IsSeparator(base.back())) {
        while (!rest.isEmpty() && IsSeparator(rest.front())) {
            rest = rest.mid(1);
        }
        return base + rest.toString();
    }
    if (!rest.isEmpty() && IsSeparator(rest.front())) {
        return base + rest.toString();
    }
    return base + u'\\' + rest.toString();
}

QString ProgramPath(const QString& relative) {
    return JoinPath(ProgramFolder(), relative);
}

QString NativePath(const QString& path) {
    QString p = path;
    p.replace(u'\\', u'/');
    return QDir::toNativeSeparators(p);
}

} // namespace app
