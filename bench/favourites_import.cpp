// Importing a favourites file of 200,000 pieces, as Import Favourites reads it: one of
// garbage only (nothing changes, a message says so) and one that starts with 20
// favourites. The message names only the first few pieces left out; its length is
// printed beside the time. The baseline is reading the same file and splitting it at
// its commas, nothing more. An import must take well under a second.
//
// Usage: favourites_import
// Exits with 1 when an import takes more than half a second, 2 when it cannot run.

#include "BenchWindow.h"
#include "control/FavouritesFile.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kPieces = 200000;
constexpr double kMostSeconds = 0.5;

// Answers the open-file chooser with the file to import; nothing else is asked for.
class ChoosingDesktop : public Desktop {
public:
    QString file;
    bool openUrl(const QUrl&) override { return false; }
    bool composeMail(const QString&, const QString&, const QString&, const QString&) override {
        return false;
    }
    QString existingDirectory(QWidget*, const QString&, const QString&) override {
        return QString();
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return file;
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return QString();
    }
};

// Keeps the last message instead of showing it.
class KeepingPrompter : public Prompter {
public:
    QString last;
    Answer message(const QString&, const QString& text, Icon, Buttons) override {
        last = text;
        return Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

QString writePieces(const QTemporaryDir& dir, const char* name, int favourites) {
    QByteArray line;
    for (int i = 0; i < kPieces; ++i)
        line += i < favourites ? "srv | Queue" + QByteArray::number(i) + " | AQ On | AR Off,"
                               : "junk piece " + QByteArray::number(i) + ',';
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(line + "\r\n") != line.size() + 2)
        return QString();
    return path;
}

double bareReadSeconds(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const qsizetype pieces = file.readLine().split(',').size();
    const double seconds = timer.nsecsElapsed() / 1e9;
    return pieces > 0 ? seconds : -1;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    useBenchFolders(dir.path());
    QApplication app(argc, argv);
    const QString garbage = writePieces(dir, "garbage.csv", 0);
    const QString favourites = writePieces(dir, "favourites.csv", 20);
    if (garbage.isEmpty() || favourites.isEmpty()) {
        std::fprintf(stderr, "favourites_import: cannot write the files\n");
        return 2;
    }

    Environment environment;
    Clock clock;
    KeepingPrompter prompter;
    ChoosingDesktop desktop;
    FrmMainServices services;
    services.environment = &environment;
    services.clock = &clock;
    services.prompter = &prompter;
    services.desktop = &desktop;
    services.endProcess = [](int) {};
    services.vendorServer = QStringLiteral("127.0.0.1:1");
    FrmMain form(services);

    std::printf("favourites_import: a file of %d pieces on one line\n", kPieces);
    bool fast = true;
    for (const QString& path : {garbage, favourites}) {
        desktop.file = path;
        prompter.last.clear();
        QElapsedTimer timer;
        timer.start();
        mnuImportFav_Click(form);
        const double seconds = timer.nsecsElapsed() / 1e9;
        fast = fast && seconds <= kMostSeconds;
        std::printf("  %-15s import %8.3f s (at most %.1f s allowed), message of %lld "
                    "characters; reading and splitting it alone (baseline) %8.3f s\n",
                    qPrintable(QFileInfo(path).fileName()), seconds, kMostSeconds,
                    static_cast<long long>(prompter.last.size()), bareReadSeconds(path));
    }
    return fast ? 0 : 1;
}
