#pragma once

#include <QString>

// The program folder and the one rule by which paths below it are formed.
// Path texts keep the backslash of stored data ("_data\_userImages\x.jpg");
// NativePath converts exactly where a path meets the file system.
namespace app {

// The executable's folder unless a test set another.
QString programFolder();
void setProgramFolder(const QString& folder);

// Folder (blanks around it removed) joined to a relative part with exactly one
// separator between them.
QString joinPath(const QString& folder, const QString& relative);

// JoinPath(ProgramFolder(), relative)
QString programPath(const QString& relative);

// The same path in the form the file system takes.
QString nativePath(const QString& path);

// Program folder + "\_images\corvantheil5.jpg": the default item picture and
// the report's logo.
QString defaultImagePath();

} // namespace app
