#pragma once

#include "SyntheticCollection.h"
#include "platform/Platform.h"

#include <QMap>

// Adding a picture, the picture panel and the full-size window on
// 12-megapixel photos; the child measures memory after 100 of them.
void runPictureStripBenchmarks();
int runPictureStripChild(int argc, char* argv[]);

class QImage;

namespace bench {
// Settings kept in memory while a benchmark adds pictures, so that the
// dialog's remembered folder in the user's own settings stays theirs.
class MemorySettings : public platform::SettingsStore {
public:
    std::optional<QString> get(const QString& key) override {
        return m_values.contains(key) ? std::optional(m_values.value(key)) : std::nullopt;
    }
    bool set(const QString& key, const QString& value) override {
        m_values.insert(key, value);
        return true;
    }

private:
    QMap<QString, QString> m_values;
};
// A 4000 x 3000 photograph-like JPEG of about 2.6 MB.
void writePhoto(const QString& path, int seed);
// A HEIC file laid out as a phone's: 512 x 512 tiles joined by a grid, turned
// by `anticlockwiseTurns` quarter turns when shown. False without an encoder.
bool writePhoneHeic(const QString& path, const QImage& image, int anticlockwiseTurns);
} // namespace bench

// Each prints one "name median_ms" line per figure; a QApplication must exist.
void runHomePageBenchmarks();
void runStartupBenchmarks();
void runPictureBenchmarks();
// Ten photos chosen at once, and a phone's HEIC photo, added to an open item.
void runPictureAddBenchmarks();
void runItemCommandBenchmarks();
// The collection list at 100,000 coins, each run in a fresh process.
void runListBenchmarks();
int runListChild(int argc, char* argv[]);
void runExchangeBenchmarks();

// The child processes of the start-up figures; -1 when argv names none.
int runStartupChild(int argc, char* argv[]);
int runPictureChild(int argc, char* argv[]);
