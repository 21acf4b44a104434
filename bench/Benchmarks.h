#pragma once

#include "SyntheticCollection.h"

// Each prints one "name median_ms" line per figure; a QApplication must exist.
void runHomePageBenchmarks();
void runStartupBenchmarks();
void runPictureBenchmarks();

// The child processes of the start-up figures; -1 when argv names none.
int runStartupChild(int argc, char* argv[]);
int runPictureChild(int argc, char* argv[]);
