#include "shell/FavouriteRecord.h"
#include "platform/TimeOfDay.h"

#include <gtest/gtest.h>

TEST(FavouriteRecord, LinesAreMadeAndReadAsTheFavouritesFileHoldsThem) {
    FavouriteRecord record;
    record.server = "srv01";
    record.queue = "Laser2";
    record.autoQueue = true;
    record.releaseTime = "5:00 PM";
    record.autoActivate = true; // asked for, but AutoRelease is off
    EXPECT_EQ(record.line(), "srv01 | Laser2 | AQ On | AR Off");
    record.autoRelease = true;
    EXPECT_EQ(record.line(), "srv01 | Laser2 | AQ On | AR On | Print | 5:00 PM | AA ");
    EXPECT_TRUE(favouriteAutoActivates(record.line()));
    record.releasePrints = false;
    record.autoActivate = false;
    const QString deleting = record.line();
    EXPECT_EQ(deleting, "srv01 | Laser2 | AQ On | AR On | Delete | 5:00 PM");
    EXPECT_FALSE(favouriteAutoActivates(deleting));

    const std::optional<FavouriteRecord> read = FavouriteRecord::read(deleting);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->line(), deleting);
    // Blanks around the bars do not matter to a reader.
    EXPECT_TRUE(FavouriteRecord::read("srv01|Laser2|AQ Off|AR On|Print|17:00|AA"));

    for (const char* notARecord :
         {"", "srv01", "srv01 | Laser2 | AQ On", " | Laser2 | AQ On | AR Off",
          "srv01 | Laser2 | AQ on | AR Off", "srv01 | Laser2 | AQ On | AR Off | Print | 5:00 PM",
          "srv01 | Laser2 | AQ On | AR On | Hold | 5:00 PM",
          "srv01 | Laser2 | AQ On | AR On | Print | 5:00 PM | AB",
          "srv01 | Laser2 | AQ On | AR On | Print | 5:00 PM | AA | AA"})
        EXPECT_FALSE(FavouriteRecord::read(notARecord)) << notARecord;
}

TEST(FavouriteRecord, NamesWithACommaOrABarCannotBeKept) {
    FavouriteRecord record;
    record.server = "srv01";
    record.queue = "Floor 2, east";
    record.releaseTime = "5,00";
    EXPECT_EQ(record.unstorableTexts(), QStringList({"Floor 2, east"})); // no AutoRelease: no time
    record.autoRelease = true;
    record.queue = "A|B";
    EXPECT_EQ(record.unstorableTexts(), QStringList({"A|B", "5,00"}));
    record.queue = "Laser2";
    record.releaseTime = "5:00 PM";
    EXPECT_TRUE(record.unstorableTexts().isEmpty());
}

TEST(TimeOfDay, TwelveAndTwentyFourHourTimesReadAlikeAndCompareAsHourAndMinute) {
    for (const char* seventeen :
         {"5:00 PM", "5:00 pm", " 5:00:59 PM ", "5 PM", "17:00", "17:00:30"}) {
        const std::optional<QTime> time = TimeOfDay::read(seventeen);
        ASSERT_TRUE(time) << seventeen;
        EXPECT_EQ(TimeOfDay::hourMinute(*time), "17:0") << seventeen;
    }
    EXPECT_EQ(TimeOfDay::hourMinute(*TimeOfDay::read("12:05 AM")), "0:5");
    for (const char* noTime : {"", "soon", "25:00", "5:61 PM"})
        EXPECT_FALSE(TimeOfDay::read(noTime)) << noTime;
}
