#include "shell/LogImportCommand.h"

#include "form/SettingsRecord.h"
#include "log/LogImport.h"
#include "platform/Environment.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"

#include <cstdio>

int importLogCommand(const Environment& environment, const QString& file) {
    if (file.isEmpty()) {
        std::fputs("spoolwright: --import-log needs the log file to import: "
                   "spoolwright --import-log FILE\n",
                   stderr);
        return 2;
    }
    SettingsRecord settings;
    readSettingsRecord(readSettingsFile(environment), settings);
    const LogImport done = importLocalLog(file, settings.LogPath, environment.programFolder());
    if (!done.ok) {
        std::fprintf(stderr, "spoolwright: %s\n", done.error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("Imported %s: %lld rows added, %lld rows skipped (already in the shared log).\n",
                file.toLocal8Bit().constData(), static_cast<long long>(done.added),
                static_cast<long long>(done.skipped));
    return 0;
}
