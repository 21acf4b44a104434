#include "store/Backups.h"

#include "app/ErrorLog.h"
#include "store/AtomicFile.h"
#include "store/DatabaseText.h"
#include "store/IniReader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <sys/stat.h>

namespace store {
namespace {

constexpr int kLastSavesKept = 20;
constexpr int kDaysKept = 30;
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// "991106EB51_2026-12-06_20-15-03_20-coins", "-2" when taken twice in a second.
const QRegularExpression& namePattern(const QString& base) {
    static QString patternBase;
    static QRegularExpression pattern;
    if (patternBase != base) {
        patternBase = base;
        pattern = QRegularExpression(
            QStringLiteral("^%1_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:_(\\d+)-coins?)?"
                           "(?:-(\\d+))?$")
                .arg(QRegularExpression::escape(base)));
    }
    return pattern;
}

struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    nlink_t links = 0;
};
std::optional<FileId> fileId(const QString& nativePath) {
    struct stat st {};
    if (::stat(QFile::encodeName(nativePath).constData(), &st) != 0) {
        return std::nullopt;
    }
    return FileId{st.st_dev, st.st_ino, st.st_nlink};
}

qsizetype coinsIn(const QString& nativePath) {
    return namedSectionCount(toNativeForm(readWholeFile(nativePath)));
}

} // namespace

QString backupsFolder(const QString& nativeDatabase) {
    return QFileInfo(nativeDatabase).absolutePath() + QStringLiteral("/backups");
}

KeptBackup keepDatedBackup(const QString& nativeDatabase, const QString& nativeFile,
                           qsizetype coins) {
    const QString folder = backupsFolder(nativeDatabase);
    if (!QDir().mkpath(folder)) {
        app::raise(app::kPathNotFound);
    }
    const std::optional<FileId> id = fileId(nativeFile);
    if (!id) {
        app::raise(app::kFileNotFound);
    }
    const QString base = QFileInfo(nativeDatabase).fileName();
    const QString stamp = QFileInfo(nativeFile).lastModified().toString(kStampFormat);
    const QString stem = QStringLiteral("%1/%2_%3_%4-%5")
                             .arg(folder, base, stamp)
                             .arg(coins)
                             .arg(coins == 1 ? QStringLiteral("coin") : QStringLiteral("coins"));
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stem : stem + u'-' + QString::number(n);
        const std::optional<FileId> there = fileId(name);
        if (there && there->device == id->device && there->inode == id->inode) {
            return {name, false};
        }
        if (!there) {
            linkOrCopyFile(nativeFile, name, false);
            return {name, true};
        }
    }
}

void keepIfOnlyCopy(const QString& nativeDatabase, const QString& nativeFile) {
    const std::optional<FileId> id = fileId(nativeFile);
    if (id && id->links < 2) {
        keepDatedBackup(nativeDatabase, nativeFile, coinsIn(nativeFile));
    }
}

std::vector<DatedBackup> datedBackups(const QString& nativeDatabase) {
    const QString base = QFileInfo(nativeDatabase).fileName();
    const QRegularExpression& pattern = namePattern(base);
    struct Found {
        DatedBackup backup;
        int repeat;
    };
    std::vector<Found> found;
    const QDir folder(backupsFolder(nativeDatabase));
    for (const QString& name : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (!m.hasMatch()) {
            continue;
        }
        // The file's own time orders two saves within one second; a copy
        // made by hand may have lost it, and then the name tells.
        const QDateTime named = QDateTime::fromString(m.captured(1), kStampFormat);
        const QDateTime modified = QFileInfo(folder.filePath(name)).lastModified();
        if (!named.isValid()) {
            continue;
        }
        DatedBackup b{folder.filePath(name), qAbs(modified.secsTo(named)) <= 1 ? modified : named,
                      std::nullopt};
        if (m.hasCaptured(2)) {
            b.coins = m.captured(2).toLongLong();
        }
        found.push_back({b, m.hasCaptured(3) ? m.captured(3).toInt() : 1});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.backup.saved != b.backup.saved ? a.backup.saved > b.backup.saved
                                                : a.repeat > b.repeat;
    });
    std::vector<DatedBackup> backups;
    backups.reserve(found.size());
    for (Found& f : found) {
        backups.push_back(std::move(f.backup));
    }
    return backups;
}

void pruneDatedBackups(const QString& nativeDatabase, const QDateTime& now) {
    const std::vector<DatedBackup> backups = datedBackups(nativeDatabase);
    const QDate firstDayKept = now.date().addDays(1 - kDaysKept);
    std::map<QDate, bool> dayHasOne;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const QDate day = backups[i].saved.date();
        const bool newestOfARecentDay = day >= firstDayKept && !dayHasOne[day];
        if (day >= firstDayKept) {
            dayHasOne[day] = true;
        }
        if (i < std::size_t{kLastSavesKept} || newestOfARecentDay) {
            continue;
        }
        disk().unlink(QFile::encodeName(backups[i].path));
    }
}

QString setAsideName(const QString& nativeDatabase, const QDateTime& now) {
    return QStringLiteral("%1/%2_%3_set-aside")
        .arg(backupsFolder(nativeDatabase), QFileInfo(nativeDatabase).fileName(),
             now.toString(kStampFormat));
}

} // namespace store
