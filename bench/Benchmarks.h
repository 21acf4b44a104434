#pragma once

#include "SyntheticCollection.h"

// Each prints one "name median_ms" line per figure; a QApplication must exist.
void RunHomePageBenchmarks();
void RunStartupBenchmarks();

// The child processes of the start-up figures; -1 when argv names none.
int RunStartupChild(int argc, char* argv[]);
