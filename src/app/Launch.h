#pragma once

#include "app/ProgramFolderChoice.h"

#include <QLockFile>
#include <QStringList>
#include <memory>
#include <optional>

// What the program decides before it reads anything: the command line, the
// program folder, and the lock that keeps a second program off a collection
// that one already holds in memory.
namespace app {

// Held in the program folder for as long as the program runs on it.
inline const QString kLockFileName = QStringLiteral("corvantheil.lock");

constexpr int kExitRefused = 1; // folder unusable or in use
constexpr int kExitUsage = 2;

class Launch {
public:
    // Nothing when the program goes on, with the program folder set, locked
    // and given the shipped files it lacked; otherwise the exit code, after
    // the user was told why. A refusal reads and writes nothing.
    std::optional<int> start(const QStringList& arguments, const Installation& installation);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace app
