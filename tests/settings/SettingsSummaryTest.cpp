#include "settings/SettingsSummary.h"

#include <gtest/gtest.h>

#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

namespace orsa::settings {
namespace {

std::string valueOf(const std::array<SummaryRow, kSummaryRowCount>& rows, std::size_t row) {
    EXPECT_TRUE(rows[row].value.has_value()) << "row " << row;
    return rows[row].value.value_or("<unset>");
}

TEST(SettingsSummary, DefaultsLoadedFromAFileReadAsWords) {
    SettingsRecord saved;
    saved.RestoreDefaults("");
    SettingsRecord record;
    SettingsFile::decodeInto(SettingsFile::encode(saved), record);

    const auto rows = summarize(record);
    EXPECT_EQ(rows[0].caption, "Номер владельца");
    EXPECT_EQ(rows[8].caption, "Период определения координат (Суток)");
    EXPECT_EQ(rows[19].caption, "Код запроса баланса");

    EXPECT_EQ(valueOf(rows, 0), "");
    EXPECT_EQ(valueOf(rows, 1), "5820");
    EXPECT_EQ(valueOf(rows, 2), "3");
    EXPECT_EQ(valueOf(rows, 3), "12:00");
    EXPECT_EQ(valueOf(rows, 4), "интернет-ссылка");
    EXPECT_EQ(valueOf(rows, 5), "SMS + Сервер");
    EXPECT_EQ(valueOf(rows, 6), std::string(kDefaultServerHost) + ":23351");
    EXPECT_EQ(valueOf(rows, 7), "Каждые 24 часа");
    EXPECT_EQ(valueOf(rows, 8), "Каждый день");
    EXPECT_EQ(valueOf(rows, 9), "Отключена");
    EXPECT_EQ(valueOf(rows, 10), "c 23:00 до 07:00");
    EXPECT_EQ(valueOf(rows, 11), "c 10:00 до 17:00");
    EXPECT_EQ(valueOf(rows, 12), "5");
    EXPECT_EQ(valueOf(rows, 13), "Включена");
    EXPECT_EQ(valueOf(rows, 14), "20");
    EXPECT_EQ(valueOf(rows, 15), "0");
    EXPECT_EQ(valueOf(rows, 16), "Режим 0");
    EXPECT_EQ(valueOf(rows, 17), "1 км");
    EXPECT_EQ(valueOf(rows, 18), "50");
    EXPECT_EQ(valueOf(rows, 19), "Автоматически");
    EXPECT_EQ(valueOf(rows, 10)[0], 'c') << "Latin c, not Cyrillic";
}

TEST(SettingsSummary, EmptySlotsAndUntabledNumbers) {
    SettingsRecord record;
    const auto rows = summarize(record);
    EXPECT_EQ(valueOf(rows, 2), "0");
    EXPECT_EQ(valueOf(rows, 3), "00:00");
    EXPECT_EQ(valueOf(rows, 4), "dd,ddddd°");   // empty reads as 0, which is tabled
    EXPECT_FALSE(rows[5].value.has_value());       // delivery 0 has no words
    EXPECT_EQ(valueOf(rows, 6), ":");
    EXPECT_FALSE(rows[7].value.has_value());       // wake interval 0 has no words
    EXPECT_EQ(valueOf(rows, 8), "Каждый день");
    EXPECT_EQ(valueOf(rows, 9), "Отключена");
    EXPECT_EQ(valueOf(rows, 10), "c 00:00 до 00:00");
    EXPECT_EQ(valueOf(rows, 13), "Выключена");
    EXPECT_EQ(valueOf(rows, 16), "Режим 0");
    EXPECT_EQ(valueOf(rows, 17), "0 км");
    EXPECT_EQ(valueOf(rows, 19), "");
    for (const SummaryRow& row : rows) {
        EXPECT_FALSE(row.caption.empty());
    }

    record.setText(SlotId::CoordFormat, "4");
    record.setText(SlotId::MotionMode, "-1");
    record.setText(SlotId::WakeInterval, "3");
    record.setText(SlotId::DeliveryMode, "1");
    const auto more = summarize(record);
    EXPECT_FALSE(more[4].value.has_value());
    EXPECT_FALSE(more[9].value.has_value());
    EXPECT_EQ(valueOf(more, 7), "Каждые 8 часов");
    EXPECT_EQ(valueOf(more, 5), "SMS");
}

TEST(SettingsSummary, SlotTextsAreShownAsTheyStand) {
    SettingsRecord record;
    record.setText(SlotId::OwnerPhone, "00000");
    record.setText(SlotId::FixPeriodDays, "7");
    record.setText(SlotId::ContactTime, "0905");
    record.setText(SlotId::GuardIntervals, "0102");  // the rest of the fields are missing
    record.setText(SlotId::ZoneControl, "2 007");
    record.setText(SlotId::BalanceCode, "*\xE1\xE0\xEB#");  // cp1251 "*бал#"
    record.setText(SlotId::TimeZone, "-5");
    record.setText(SlotId::FalseAlarmGuard, "2");
    const auto rows = summarize(record);
    EXPECT_EQ(valueOf(rows, 0), "00000");
    EXPECT_EQ(valueOf(rows, 2), "-5");
    EXPECT_EQ(valueOf(rows, 3), "09:05");
    EXPECT_EQ(valueOf(rows, 8), "7");
    EXPECT_EQ(valueOf(rows, 10), "c 01:02 до 00:00");
    EXPECT_EQ(valueOf(rows, 11), "c 00:00 до 00:00");
    EXPECT_EQ(valueOf(rows, 13), "Выключена");
    EXPECT_EQ(valueOf(rows, 16), "Режим 2");
    EXPECT_EQ(valueOf(rows, 17), "7 км");
    EXPECT_EQ(valueOf(rows, 19), "*бал#");
}

}  // namespace
}  // namespace orsa::settings
