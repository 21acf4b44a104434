#include "app/ErrorLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/Constants.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/Win1252.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QFile>

namespace app {
namespace {

constexpr int kOldLinesKept = 51;

// The previous file's first lines, or an error number when it cannot be read.
int readOldLines(const QString& path, QList<QByteArray>& lines) {
    QFile file(nativePath(path));
    if (!file.exists()) {
        return 0;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return kPermissionDenied;
    }
    while (lines.size() < kOldLinesKept && !file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n')) {
            line.chop(1);
        }
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        lines.append(line);
    }
    return 0;
}

bool isBlank(const QByteArray& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

QString quoted(const QString& s) {
    return u'"' + s + u'"';
}

} // namespace

QString failureCause(int number, int systemError) {
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("the disk is full");
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case EACCES:
    case EPERM:
        return QStringLiteral("the folder or file may not be written to");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("the folder is missing");
    case EISDIR:
        return QStringLiteral("a folder stands where the file should be");
    case EIO:
        return QStringLiteral("the disk reported an error");
    case 0:
        break;
    default:
        return QString::fromLocal8Bit(std::strerror(systemError)).toLower();
    }
    switch (number) {
    case kChangedByAnotherProgram:
        return QStringLiteral("another program changed the collection file");
    case kFileNotFound:
        return QStringLiteral("the file is missing");
    case kPermissionDenied:
        return QStringLiteral("the folder or file may not be written to");
    case kPathNotFound:
        return QStringLiteral("the folder is missing");
    default:
        return QStringLiteral("the file could not be written");
    }
}

QString failureAdvice(const RuntimeError& e) {
    switch (e.systemError()) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Free some space on the disk");
    case EROFS:
    case EACCES:
    case EPERM:
        return QStringLiteral("Make sure the collection's folder may be written to");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Make sure the collection's folder is there");
    case EISDIR:
        return QStringLiteral("Move that folder out of the way");
    case EIO:
        return QStringLiteral("Check the disk");
    default:
        break;
    }
    switch (e.number()) {
    case kPermissionDenied:
        return QStringLiteral("Make sure the collection's files may be read and written");
    case kPathNotFound:
        return QStringLiteral("Make sure the collection's folder is there");
    default:
        return QStringLiteral("Put the cause right");
    }
}

QString errorDescription(int number) {
    switch (number) {
    case kOverflow:
        return QStringLiteral("Overflow");
    case 7:
        return QStringLiteral("Out of memory");
    case kSubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case kDivisionByZero:
        return QStringLiteral("Division by zero");
    case kTypeMismatch:
        return QStringLiteral("Type mismatch");
    case kFileNotFound:
        return QStringLiteral("File not found");
    case kPermissionDenied:
        return QStringLiteral("Permission denied");
    case kPathFileAccessError:
        return QStringLiteral("Path/File access error");
    case kPathNotFound:
        return QStringLiteral("Path not found");
    case kInvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case kInvalidPropertyArrayIndex:
        return QStringLiteral("Invalid property array index");
    case kInvalidPicture:
        return QStringLiteral("Invalid picture");
    case kChangedByAnotherProgram:
        return QStringLiteral("File changed by another program");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

QString errorLogPath() {
    return programPath(kExecutableName + QStringLiteral(".Err"));
}

void logAnError(const QString& number, const QString& description, const QString& line) {
    switch (number.trimmed().toInt()) {
    case kOverflow:
    case kSubscriptOutOfRange:
    case kDivisionByZero:
    case kInvalidPropertyArrayIndex:
        return;
    default:
        break;
    }

    const QString now = formatGeneralDate(QDateTime::currentDateTime());
    const QString record = quoted(now) + u',' + quoted(number) + u',' + quoted(description) + u',' +
                           quoted(line) + u',' + quoted(u'v' + versionText()) + u',' +
                           quoted(programFolder().trimmed());
    const QString entry = now + QStringLiteral(", ** no control currently active **, ") + record +
                          QStringLiteral(", ");

    const QString path = errorLogPath();
    QList<QByteArray> old;
    int failure = readOldLines(path, old);

    if (failure == 0) {
        QByteArray content = toWin1252(entry);
        content += "\r\n";
        for (const QByteArray& l : old) {
            if (!isBlank(l)) {
                content += l;
                content += "\r\n";
            }
        }
        QFile file(nativePath(path));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            failure = file.exists() ? kPermissionDenied : kPathNotFound;
        } else if (file.write(content) != content.size() || !file.flush()) {
            failure = kPathFileAccessError;
        }
    }

    if (failure != 0) {
        platform::messageBoxes().show(
            {QStringLiteral("There was an error writing to the error log-->#") +
                 QString::number(failure),
             kTitle + QStringLiteral("- critical error!"), platform::Buttons::Ok,
             platform::Icon::None, 1});
    }
}

void Guard::report(int number, const QString& description, const SourceLocation& where) {
    logAnError(QString::number(number), description, QString::number(where.line()));
}

} // namespace app
