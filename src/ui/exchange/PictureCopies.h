#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The pictures an import copies into the picture folder, named as Add
// Picture names them. The one place the import copies pictures.
class PictureCopies {
public:
    // The list element of the copy, or nothing with the cause in `failure`.
    // A file already in the picture folder is never replaced.
    std::optional<QString> copyIn(const QString& source, QString& failure);
    // Deletes the copies made: the coins that named them were not stored.
    void removeAll();

private:
    QStringList m_made;  // native paths
    QStringList m_names; // list elements, so that no two copies share a name
};
