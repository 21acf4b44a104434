#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace store {
class Collection;
}

// The collection as a sheet any spreadsheet program opens.
namespace exchange {

// A header row of the fields' captions in the window's order, "Pictures" and,
// when a coin has keys no field owns, "Other Fields"; then a row per coin at
// `positions`, in that order. Amounts are plain numbers, the lists their
// entries' texts, line breaks kept, pictures as full paths.
QByteArray collectionSheet(const store::Collection& collection,
                           const std::vector<qsizetype>& positions);

// Writes the sheet so that the file is whole or as it was; raises a runtime
// error carrying the cause.
void writeSheetFile(const QString& path, const QByteArray& bytes);

} // namespace exchange
