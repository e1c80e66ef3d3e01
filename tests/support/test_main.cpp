#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <ctime>
#include <gtest/gtest.h>

// Every test process runs with a pinned locale, time zone, user and computer name,
// and application data and temporary folders of its own, so no test sees another's
// files or the machine's. Without a display the offscreen platform is used.
int main(int argc, char** argv) {
    qputenv("LANG", "C.UTF-8");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("TZ", "UTC");
    tzset();
    qputenv("USERNAME", "tester");
    qputenv("COMPUTERNAME", "testhost");
    if (qEnvironmentVariableIsEmpty("SPOOLWRIGHT_TEST_PRINT_SERVER"))
        qputenv("SPOOLWRIGHT_TEST_PRINT_SERVER", SPOOLWRIGHT_TEST_PRINT_SERVER_DIR);
    if (qEnvironmentVariableIsEmpty("SPOOLWRIGHT_TEST_POSTGRES"))
        qputenv("SPOOLWRIGHT_TEST_POSTGRES", SPOOLWRIGHT_TEST_POSTGRES_DIR);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir folders;
    if (!folders.isValid())
        return 2;
    const QByteArray appData = folders.filePath("appdata").toLocal8Bit();
    const QByteArray temp = folders.filePath("temp").toLocal8Bit();
    QDir().mkpath(QString::fromLocal8Bit(appData));
    QDir().mkpath(QString::fromLocal8Bit(temp));
    qputenv("APPDATA", appData);
    qputenv("TEMP", temp);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
