#pragma once

#include "SyntheticCollection.h"

// Adding a picture, the picture panel and the full-size window on
// 12-megapixel photos; the child measures memory after 100 of them.
void runPictureStripBenchmarks();
int runPictureStripChild(int argc, char* argv[]);

namespace bench {
// A 4000 x 3000 photograph-like JPEG of about 2.6 MB.
void writePhoto(const QString& path, int seed);
} // namespace bench

// Each prints one "name median_ms" line per figure; a QApplication must exist.
void runHomePageBenchmarks();
void runStartupBenchmarks();
void runPictureBenchmarks();
void runItemCommandBenchmarks();
void runExchangeBenchmarks();

// The child processes of the start-up figures; -1 when argv names none.
int runStartupChild(int argc, char* argv[]);
int runPictureChild(int argc, char* argv[]);
