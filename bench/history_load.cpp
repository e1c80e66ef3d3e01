// Loading the server history at start-up: the time List_Load takes for a swr.his of
// 10,000 and of 100,000 lines (half of them repeats). Loading must grow in proportion
// to the file: ten times the lines may cost at most twenty times the time (a load
// that compared every line with every entry would cost a hundred times). The
// baseline is the same 10,000 lines added one by one through List_Add, which looks
// through the whole box for every name.
//
// Usage: history_load
// Exits with 1 when the larger file costs more than twenty times the smaller one.

#include "shell/History.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr double kAllowedGrowth = 20.0;

QString writeHistory(const QTemporaryDir& dir, int lines) {
    const QString path = dir.filePath(QStringLiteral("swr-%1.his").arg(lines));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    for (int i = 0; i < lines; ++i)
        file.write("printserver-" + QByteArray::number(i % (lines / 2)) + ".example.net\r\n");
    return path;
}

// Seconds for one load into an empty box; the entries it made into `entries`.
double loadSeconds(const QString& path, int* entries) {
    QComboBox box;
    QElapsedTimer timer;
    timer.start();
    List_Load(&box, path);
    const double seconds = timer.nsecsElapsed() / 1e9;
    *entries = box.count();
    return seconds;
}

double addOneByOneSeconds(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QComboBox box;
    QElapsedTimer timer;
    timer.start();
    while (!file.atEnd())
        List_Add(&box, QString::fromLocal8Bit(file.readLine().trimmed()));
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString small = writeHistory(dir, 10000);
    const QString large = writeHistory(dir, 100000);
    if (small.isEmpty() || large.isEmpty()) {
        std::fprintf(stderr, "history_load: cannot write the history files\n");
        return 2;
    }

    int smallEntries = 0, largeEntries = 0;
    const double smallSeconds = loadSeconds(small, &smallEntries);
    const double largeSeconds = loadSeconds(large, &largeEntries);
    const double baseline = addOneByOneSeconds(small);
    if (smallEntries != 5000 || largeEntries != 50000) {
        std::fprintf(stderr, "history_load: loaded %d and %d entries instead of 5000 and 50000\n",
                     smallEntries, largeEntries);
        return 2;
    }
    const double growth = largeSeconds / smallSeconds;
    std::printf("history_load: swr.his with half of its lines repeated\n");
    std::printf("  10,000 lines:  %8.3f s\n", smallSeconds);
    std::printf("  100,000 lines: %8.3f s (%.1fx; at most %.0fx allowed)\n", largeSeconds, growth,
                kAllowedGrowth);
    std::printf("  10,000 lines one by one through List_Add (baseline): %8.3f s\n", baseline);
    return growth <= kAllowedGrowth ? 0 : 1;
}
