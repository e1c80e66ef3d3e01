#include "platform/JobStatus.h"

#include <array>
#include <utility>

QString JobStatusText(qint64 code) {
    static const std::array<std::pair<qint64, const char*>, 12> texts{{
        {1, "Paused"},
        {2, "Error"},
        {4, "Deleting"},
        {8, "Spooling"},
        {16, "Printing"},
        {32, "Offline"},
        {64, "Paperout"},
        {128, "Printed"},
        {256, "Deleted"},
        {512, "Blocked Dev Queue"},
        {1024, "User Intervention Required"},
        {2048, "Restart"},
    }};
    for (const auto& [value, text] : texts)
        if (code == value)
            return QString::fromLatin1(text);
    return QStringLiteral("OK");
}

QString PrinterStatusText(quint32 status) {
    if (status == 0)
        return QStringLiteral("OK");
    // Bit n (from 0x1 upwards) appends texts[n]. Note " OffLine" and " Warming up":
    // the queue status colouring matches these exact letters.
    static const std::array<const char*, 25> texts{
        " Paused",
        " Error",
        " Pending Deletion",
        " Paper Jam",
        " Paper Out",
        " Manual Feed",
        " Paper Problem",
        " OffLine",
        " IO Active",
        " Busy",
        " Printing",
        " Output Bin Full",
        " Not Available",
        " Waiting",
        " Processing",
        " Initializing",
        " Warming up",
        " Toner Low",
        " No Toner",
        " Can print Current Page",
        " User Intervention",
        " Out of Memory",
        " Door Open",
        " Server Unknown",
        " Power Save",
    };
    QString result;
    for (std::size_t bit = 0; bit < texts.size(); ++bit)
        if (status & (1u << bit))
            result += QLatin1String(texts[bit]);
    return result;
}

QString ExtendedPrinterStatusText(qint64 value) {
    static const std::array<const char*, 18> texts{
        "Other",         "OK",
        "Idle",          "Printing",
        "Warming Up",    "Stopped Printing",
        "Offline",       "Paused",
        "Error",         "Busy",
        "Not Available", "Waiting",
        "Processing",    "Initialization",
        "Power Save",    "Pending Deletion",
        "I/O Active",    "Manual Feed",
    };
    if (value >= 1 && value <= static_cast<qint64>(texts.size()))
        return QString::fromLatin1(texts[static_cast<std::size_t>(value - 1)]);
    return QString::number(value);
}

int JobIconIndex(const QString& statusText) {
    if (statusText == QLatin1String("OK"))
        return 1;
    if (statusText == QLatin1String("Printing") || statusText == QLatin1String("Printed"))
        return 2;
    if (statusText == QLatin1String("Spooling"))
        return 4;
    if (statusText == QLatin1String("Paused"))
        return 5;
    return 3;
}
