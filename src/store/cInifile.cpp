#include "store/cInifile.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "store/AtomicFile.h"

#include <QFile>

using store::IniDocument;
using store::IniSection;

cInifile::cInifile(int valueCapacity, int listCapacity)
    : m_valueCapacity(valueCapacity), m_listCapacity(listCapacity) {}

void cInifile::setPath(const QString& path) {
    if (path != m_path) {
        m_path = path;
        m_doc.clear();
        m_loaded = false;
        m_unreadable = false;
    }
}

IniDocument& cInifile::document() {
    if (!m_loaded) {
        m_loaded = true;
        // A file that is missing or cannot be read is an empty file to the layer.
        QFile file(app::nativePath(m_path));
        const bool read = !m_path.isEmpty() && file.open(QIODevice::ReadOnly);
        if (read) {
            m_doc = IniDocument::parse(file.readAll());
        }
        m_unreadable = !read && !m_path.isEmpty() && file.exists();
    }
    return m_doc;
}

QString cInifile::value() {
    QString result;
    app::Guard guard;
    guard.step([&] {
        result = store::cutValue(document().value(m_section, m_key).value_or(QString()),
                                 m_valueCapacity);
    });
    return result;
}

void cInifile::setValue(const QString& value) {
    QString text = value;
    text.remove(QChar(u'\0'));
    document().setValue(m_section, m_key, text);
}

QString cInifile::listText(const QStringList& names) const {
    std::vector<qsizetype> lengths;
    lengths.reserve(names.size());
    for (const QString& n : names) {
        lengths.push_back(n.size());
    }
    const qsizetype kept = store::namesThatFit(lengths, m_listCapacity);
    QString text;
    for (qsizetype i = 0; i < kept; ++i) {
        text += names[i];
        text += QChar(u'\0');
    }
    // A cut list also holds the part of the first name that did not fit.
    if (kept < names.size() && m_listCapacity > 2) {
        text += names[kept].left(m_listCapacity - 2 - text.size());
    }
    return text;
}

QString cInifile::iniSection() {
    QStringList names;
    if (const IniSection* s = document().findSection(m_section)) {
        for (const store::IniEntry& e : s->entries) {
            names << e.key;
        }
    }
    return listText(names);
}

QString cInifile::sections() {
    QStringList names;
    for (const IniSection& s : document().sections()) {
        names << s.name;
    }
    return listText(names);
}

namespace {
// Names between NULs; what follows the last NUL is not a name.
void splitList(const QString& list, bool skipEmpty, QStringList& names, qint32& count) {
    qsizetype pos = 0;
    for (qsizetype nul = list.indexOf(QChar(u'\0')); nul >= 0;
         nul = list.indexOf(QChar(u'\0'), pos)) {
        const QString name = list.mid(pos, nul - pos);
        if (!(skipEmpty && name.isEmpty())) {
            names << name;
            ++count;
        }
        pos = nul + 1;
    }
}
} // namespace

void cInifile::enumerateCurrentSection(QStringList& names, qint32& count) {
    count = 0;
    names.clear();
    app::Guard guard;
    guard.step([&] { splitList(iniSection(), false, names, count); });
}

void cInifile::enumerateAllSections(QStringList& names, qint32& count) {
    count = 0;
    names.clear();
    app::Guard guard;
    guard.step([&] { splitList(sections(), true, names, count); });
}

std::vector<IniSection> cInifile::cut(std::vector<IniSection> all) const {
    std::vector<qsizetype> lengths;
    lengths.reserve(all.size());
    for (const IniSection& s : all) {
        lengths.push_back(s.name.size());
    }
    all.resize(static_cast<std::size_t>(store::namesThatFit(lengths, m_listCapacity)));
    std::erase_if(all, [](const IniSection& s) { return s.name.isEmpty(); });

    if (m_listCapacity > 0 || m_valueCapacity > 0) {
        for (IniSection& s : all) {
            std::vector<qsizetype> keyLengths;
            for (const store::IniEntry& e : s.entries) {
                keyLengths.push_back(e.key.size());
            }
            s.entries.resize(
                static_cast<std::size_t>(store::namesThatFit(keyLengths, m_listCapacity)));
            for (store::IniEntry& e : s.entries) {
                e.value = store::cutValue(e.value, m_valueCapacity);
            }
        }
    }
    return all;
}

std::vector<IniSection> cInifile::takeAllSections() {
    std::vector<IniSection> all = document().takeSections();
    m_loaded = false;
    return cut(std::move(all));
}

cInifile::UnreadSections cInifile::takeAllSectionsUnread() {
    Q_ASSERT(m_valueCapacity == kUnlimited && m_listCapacity == kUnlimited);
    UnreadSections unread;
    auto file = std::make_unique<QFile>(app::nativePath(m_path));
    // A file that is missing or cannot be read is an empty file to the layer.
    if (m_path.isEmpty() || !file->open(QIODevice::ReadOnly)) {
        return unread;
    }
    unread.sections = store::indexSections(*file, false);
    std::erase_if(unread.sections, [](const store::SectionSpan& s) { return !s.named; });
    unread.file = std::move(file);
    return unread;
}

std::vector<IniSection> cInifile::takeWrittenSections() {
    std::vector<IniSection> all = document().takeSectionsAsReadBack();
    m_loaded = false;
    return cut(std::move(all));
}

void cInifile::startEmpty() {
    m_doc.clear();
    m_loaded = true;
    m_unreadable = false;
}

void cInifile::writeSection(IniSection&& section) {
    document().writeSection(std::move(section));
}

void cInifile::commit() {
    stage().replace();
}

store::StagedFile cInifile::stage() {
    // Reading first tells a file that cannot be read from a missing one.
    const IniDocument& doc = document();
    if (m_unreadable) {
        app::raise(app::kPermissionDenied);
    }
    return store::StagedFile(app::nativePath(m_path), doc.serialize());
}
