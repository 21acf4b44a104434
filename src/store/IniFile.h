#pragma once

#include "store/AtomicFile.h"
#include "store/IniDocument.h"

#include <QFile>
#include <QString>
#include <memory>
#include <vector>

namespace store {

// One INI file on disk: its sections indexed for reading on demand, or new
// content written whole through a temporary file that takes the file's place
// only when complete.
class IniFile {
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // The open file and its named sections, their keys left unread; no file
    // when it is missing or cannot be read.
    struct UnreadSections {
        std::unique_ptr<QFile> file;
        std::vector<SectionSpan> sections;
        bool unreadable = false; // the file is there but could not be opened
    };
    UnreadSections readSectionsLazily() const;

    // New content, starting empty: as writing each of the section's keys in
    // order. Sections given in rising order of name are written as they come.
    void writeSection(IniSection&& section) { m_content.writeSection(std::move(section)); }
    // The sections written, as a reader of the written file finds them.
    std::vector<IniSection> takeWrittenSections();

    // The new content staged beside the file; the caller puts it in place.
    // Raises when it cannot be written.
    StagedFile stage() const;
    void commit() const { stage().replace(); }

private:
    QString m_path;
    IniDocument m_content;
};

} // namespace store
