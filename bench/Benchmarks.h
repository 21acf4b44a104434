#pragma once

#include "SyntheticCollection.h"

// Each prints one "name median_ms" line per figure; a QApplication must exist.
void runHomePageBenchmarks();
void runStartupBenchmarks();
void runPictureBenchmarks();

namespace bench {
// A 4000 x 3000 photograph-like JPEG of about 2.6 MB.
void writePhoto(const QString& path, int seed);
} // namespace bench

// The child processes of the start-up and picture figures; -1 when argv
// names none.
int runStartupChild(int argc, char* argv[]);
int runPictureChild(int argc, char* argv[]);
