#include "store/IniFile.h"

#include "app/ProgramFolder.h"

namespace store {

IniFile::UnreadSections IniFile::readSectionsLazily() const {
    UnreadSections unread;
    auto file = std::make_unique<QFile>(app::nativePath(m_path));
    if (m_path.isEmpty() || !file->open(QIODevice::ReadOnly)) {
        unread.unreadable = file->exists();
        return unread;
    }
    unread.sections = indexSections(*file, false);
    std::erase_if(unread.sections, [](const SectionSpan& s) { return !s.named; });
    unread.file = std::move(file);
    return unread;
}

} // namespace store
