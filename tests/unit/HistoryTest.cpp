#include "shell/History.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList entries(const QComboBox& box) {
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names << box.itemText(i);
    return names;
}

} // namespace

TEST(History, LoadsEachPlausibleServerNameOnceInFileOrderKeepingWhatTheBoxShows) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("swr.his"));
    const QByteArray longest(255, 'a');
    const QByteArray tooLong(300, 'b');
    {
        QFile his(file);
        ASSERT_TRUE(his.open(QIODevice::WriteOnly));
        his.write("beta\r\nalpha\r\nprint\tserver\r\ngamma\r\nbeta\r\n\x01\x02\r\n" + tooLong +
                  "\r\nBeta\r\n" + longest + "\r\nlf-only\nesc\x1b[31m\r\nalpha\r\n");
    }
    QComboBox box;
    box.setEditable(true);
    box.addItem(QStringLiteral("alpha"));
    box.setCurrentIndex(-1);
    box.setEditText(QStringLiteral("typed"));

    List_Load(&box, file);

    EXPECT_EQ(entries(box), QStringList({"alpha", "beta", "gamma", "Beta",
                                         QString::fromLatin1(longest), "lf-only"}));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.currentText(), "typed");

    // Adding one name keeps to the same rule: exact, case-sensitive, never empty.
    List_Add(&box, QStringLiteral("gamma"));
    List_Add(&box, QString());
    List_Add(&box, QStringLiteral("GAMMA"));
    EXPECT_EQ(entries(box).mid(5), QStringList({"lf-only", "GAMMA"}));
    EXPECT_EQ(box.currentText(), "typed");
}
