#pragma once

#include "store/IniDocument.h"

#include <QFile>
#include <QString>
#include <memory>
#include <vector>

namespace store {

// One INI file on disk, its sections indexed for reading on demand.
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

private:
    QString m_path;
};

} // namespace store
