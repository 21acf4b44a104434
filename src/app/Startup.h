#pragma once

namespace app {

// The start-up steps that need no window: the default picture path, the
// folders the program writes into, and the whole item database in memory.
void prepareProgramFolderAndItems();

} // namespace app
