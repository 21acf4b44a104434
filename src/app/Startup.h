#pragma once

namespace app {

// Makes the folders the program writes into ("_reports", "_data" and
// "_data\_userImages" below the program folder) where they are missing.
void prepareProgramFolder();

} // namespace app
