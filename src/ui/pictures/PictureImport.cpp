#include "ui/pictures/PictureImport.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "ui/common/HeifPicture.h"
#include "ui/common/PictureLoading.h"
#include "ui/pictures/PictureList.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QMimeData>
#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <vector>

namespace ui {
namespace {

constexpr int kJpegQuality = 92;
// Far more names than one second's pictures could take.
constexpr int kMaxSuffix = 100000;
// A longer list of refused pictures is cut short in the message.
constexpr qsizetype kListedFailures = 10;

int errorNumberFor(int systemError) {
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return app::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return app::kPermissionDenied;
    default:
        return app::kPathFileAccessError;
    }
}

[[noreturn]] void raiseFromErrno() {
    const int error = errno;
    app::raiseSystem(errorNumberFor(error), error);
}

// A file made under a name nobody had; removed again unless it was completed,
// so that a failed copy leaves nothing behind.
class NewFile {
public:
    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (!m_completed && !m_path.isEmpty()) {
            ::unlink(m_path.constData());
        }
    }

    // False when a file of that name exists already.
    bool create(const QString& nativePath) {
        const QByteArray path = QFile::encodeName(nativePath);
        m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            if (errno == EEXIST) {
                return false;
            }
            raiseFromErrno();
        }
        m_path = path;
        return true;
    }

    void write(const char* data, qint64 size) {
        while (size > 0) {
            const ssize_t written = ::write(m_fd, data, static_cast<std::size_t>(size));
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                raiseFromErrno();
            }
            data += written;
            size -= written;
        }
    }

    // A full disk may show only here, when the data is flushed.
    void complete() {
        if (::fsync(m_fd) != 0) {
            raiseFromErrno();
        }
        if (::close(std::exchange(m_fd, -1)) != 0) {
            raiseFromErrno();
        }
        m_completed = true;
    }

private:
    int m_fd = -1;
    QByteArray m_path;
    bool m_completed = false;
};

QString fileNameOf(const QString& element) {
    return element.section(u'\\', -1).toLower();
}

// Creates the copy under the first name that no file in the picture folder
// and no listed element has, and fills it.
QString storeNew(const QDateTime& now, const QString& ending, const QStringList& listed,
                 const std::function<void(NewFile&)>& fill) {
    const QString folder =
        app::nativePath(app::programPath(QStringLiteral("\\_data\\_userImages")));
    QDir().mkpath(folder);
    const QString stamp = now.toString(QStringLiteral("yyyyMMddHHmmss"));
    QSet<QString> taken;
    for (const QString& entry :
         QDir(folder).entryList({stamp + u'*'}, QDir::AllEntries | QDir::Hidden | QDir::System |
                                                    QDir::NoDotAndDotDot)) {
        taken.insert(entry.toLower());
    }
    for (const QString& element : listed) {
        taken.insert(fileNameOf(element));
    }
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        QString name = copiedPictureName(now, ending, suffix);
        NewFile file;
        if (!taken.contains(fileNameOf(name)) &&
            file.create(app::nativePath(app::programPath(name)))) {
            fill(file);
            file.complete();
            return name;
        }
    }
    app::raise(app::kPathFileAccessError);
}

void streamFile(const QString& source, NewFile& file) {
    const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        raiseFromErrno();
    }
    const auto closeSource = qScopeGuard([fd] { ::close(fd); });
    std::vector<char> buffer(std::size_t(1) << 20);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            raiseFromErrno();
        }
        if (got == 0) {
            return;
        }
        file.write(buffer.data(), got);
    }
}

QByteArray encoded(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

// JPEG has no transparency: what shows through is the panel's white.
QImage onWhite(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return image;
    }
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    flat.setColorSpace(image.colorSpace());
    return flat;
}

QString sourceProblem(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return QStringLiteral("it is a folder, not a picture");
    }
    if (!info.exists()) {
        return QStringLiteral("the file is no longer there");
    }
    if (info.size() == 0) {
        return QStringLiteral("the file is empty");
    }
    if (!info.isReadable()) {
        return QStringLiteral("the file may not be read");
    }
    return {};
}

ImportedPicture storeBytes(const QDateTime& now, const QString& ending, const QStringList& listed,
                           const QByteArray& bytes) {
    return {storeNew(now, ending, listed,
                     [&](NewFile& file) { file.write(bytes.constData(), bytes.size()); }),
            {}};
}

} // namespace

QList<PictureSource> picturesIn(const QMimeData& data) {
    QList<PictureSource> sources;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            sources.append({QDir::toNativeSeparators(url.toLocalFile()), {}});
        }
    }
    if (sources.isEmpty() && data.hasImage()) {
        sources.append({{}, qvariant_cast<QImage>(data.imageData())});
    }
    return sources;
}

bool holdsPictures(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    return data.hasImage() ||
           std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

ImportedPicture importPicture(const PictureSource& source, const QDateTime& now,
                              const QStringList& listed) {
    if (source.file.isEmpty()) {
        const QByteArray png =
            source.image.isNull() ? QByteArray() : encoded(source.image, "png", -1);
        if (png.isEmpty()) {
            return {{}, QStringLiteral("the picture handed over could not be read")};
        }
        return storeBytes(now, QStringLiteral(".png"), listed, png);
    }
    if (const QString problem = sourceProblem(source.file); !problem.isEmpty()) {
        return {{}, problem};
    }
    if (isHeifFile(source.file)) {
        const HeifPicture heif = readHeif(source.file);
        if (heif.image.isNull()) {
            return {{}, heif.problem};
        }
        const QByteArray jpeg = encoded(onWhite(heif.image), "jpeg", kJpegQuality);
        if (jpeg.isEmpty()) {
            return {{}, QStringLiteral("there is not enough memory for it")};
        }
        return storeBytes(now, QStringLiteral(".jpg"), listed, jpeg);
    }
    if (const QString problem = pictureProblem(source.file); !problem.isEmpty()) {
        return {{}, problem};
    }
    return {storeNew(now, copiedPictureEnding(source.file), listed,
                     [&](NewFile& file) { streamFile(source.file, file); }),
            {}};
}

QString notAddedText(const QList<std::pair<QString, QString>>& failures, qsizetype tried) {
    const auto named = [](const QString& label) {
        return label.isEmpty() ? QStringLiteral("The picture")
                               : QStringLiteral("The picture \"%1\"").arg(label);
    };
    if (failures.size() == 1 && tried == 1) {
        return named(failures.front().first) + QStringLiteral(" could not be added: ") +
               failures.front().second + u'.';
    }
    const qsizetype refused = failures.size();
    QString text =
        refused == tried
            ? QStringLiteral("None of the %1 pictures could be added:\n").arg(tried)
            : QStringLiteral("%1 of the %2 pictures could not be added:\n").arg(refused).arg(tried);
    for (qsizetype i = 0; i < std::min(refused, kListedFailures); ++i) {
        const QString& label = failures[i].first;
        text +=
            u'\n' +
            (label.isEmpty() ? QStringLiteral("the picture handed over") : u'"' + label + u'"') +
            QStringLiteral(": ") + failures[i].second + u'.';
    }
    if (refused > kListedFailures) {
        text += QStringLiteral("\n...and %1 more.").arg(refused - kListedFailures);
    }
    if (tried - refused == 1) {
        text += QStringLiteral("\n\nThe other picture was added.");
    } else if (tried > refused) {
        text += QStringLiteral("\n\nThe other %1 were added.").arg(tried - refused);
    }
    return text;
}

} // namespace ui
