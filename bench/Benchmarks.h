#pragma once

// Each prints one "name median_ms" line per figure; a QApplication must exist.
void RunHomePageBenchmarks();
