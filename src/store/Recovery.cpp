#include "store/Recovery.h"

#include "app/ErrorLog.h"
#include "store/AtomicFile.h"
#include "store/Backups.h"
#include "store/DatabaseText.h"
#include "store/IniReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace store {
namespace {

struct Reading {
    FileDamage damage = FileDamage::None;
    qsizetype coins = 0;
};

Reading readDatabaseFile(const QString& nativePath) {
    const QFileInfo info(nativePath);
    if (!info.exists()) {
        return {FileDamage::Missing};
    }
    QFile file(nativePath);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        return {FileDamage::Unreadable};
    }
    const QByteArray raw = file.readAll();
    if (raw.isEmpty()) {
        return {FileDamage::Empty};
    }
    const QByteArray text = toNativeForm(raw);
    return {damageOfText(text), namedSectionCount(text)};
}

} // namespace

FileDamage damageOfText(QByteArrayView text) {
    if (text.isEmpty()) {
        return FileDamage::Empty;
    }
    if (!text.endsWith('\n') && !text.endsWith('\r')) {
        return FileDamage::CutShort;
    }
    return everyLinePlaced(text) ? FileDamage::None : FileDamage::StrayLines;
}

FileDamage damageOfFile(QIODevice& file) {
    constexpr qsizetype kChunk = qsizetype{256} * 1024;
    LinePlacement lines;
    QByteArray buffer;
    char last = 0;
    qint64 total = 0;
    for (;;) {
        const qsizetype kept = buffer.size();
        buffer.resize(kept + kChunk);
        const qint64 got = file.read(buffer.data() + kept, kChunk);
        buffer.resize(kept + std::max<qint64>(got, 0));
        if (got < 0) {
            return FileDamage::Unreadable;
        }
        if (got == 0) {
            break;
        }
        total += got;
        last = buffer.back();
        // Whole lines now; the last one's rest comes with the next piece.
        const qsizetype lineEnd = buffer.lastIndexOf('\n') + 1;
        if (!lines.placed(QByteArrayView(buffer).first(lineEnd))) {
            return FileDamage::StrayLines;
        }
        buffer.remove(0, lineEnd);
    }
    if (total == 0) {
        return FileDamage::Empty;
    }
    if (last != '\n' && last != '\r') {
        return FileDamage::CutShort;
    }
    return lines.placed(buffer) ? FileDamage::None : FileDamage::StrayLines;
}

std::optional<GoodBackup> newestGoodBackup(const QString& nativeDatabase) {
    std::vector<GoodBackup> candidates;
    const QString single = nativeDatabase + QStringLiteral("backup");
    if (QFileInfo::exists(single)) {
        candidates.push_back({single, QFileInfo(single).lastModified(), 0});
    }
    for (const DatedBackup& b : datedBackups(nativeDatabase)) {
        candidates.push_back({b.path, b.saved, 0});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const GoodBackup& a, const GoodBackup& b) { return a.saved > b.saved; });
    for (GoodBackup& c : candidates) {
        const Reading r = readDatabaseFile(c.path);
        if (r.damage == FileDamage::None && r.coins > 0) {
            c.coins = r.coins;
            return c;
        }
    }
    return std::nullopt;
}

QString restoreBackup(const QString& nativeDatabase, const QString& backup, qsizetype coins,
                      bool damaged) {
    if (!QFileInfo::exists(backup)) {
        app::raise(app::kFileNotFound);
    }
    QString keptAt;
    if (QFileInfo::exists(nativeDatabase)) {
        if (damaged) {
            if (!QDir().mkpath(backupsFolder(nativeDatabase))) {
                app::raise(app::kPathNotFound);
            }
            keptAt = setAsideName(nativeDatabase, QDateTime::currentDateTime());
            linkOrCopyFile(nativeDatabase, keptAt, false);
        } else {
            keptAt = keepDatedBackup(nativeDatabase, nativeDatabase, coins).path;
        }
    }
    linkOrCopyFile(backup, nativeDatabase);
    syncFolder(QFileInfo(nativeDatabase).absolutePath());
    return keptAt;
}

} // namespace store
