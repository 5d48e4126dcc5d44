#include "settings/SettingsSummary.h"

#include <gtest/gtest.h>

#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"
#include "support/BeaconFigures.h"

namespace orsa::settings {
namespace {

namespace figures = orsa::testing::figures;

using Rows = std::array<SummaryRow, kSummaryRowCount>;

std::vector<std::string> values(const Rows& rows) {
  std::vector<std::string> out;
  for (const SummaryRow& row : rows) {
    out.push_back(row.value.value_or("<unset>"));
  }
  return out;
}

TEST(SettingsSummary, DefaultsLoadedFromAFile) {
  SettingsRecord saved;
  saved.RestoreDefaults("");
  SettingsRecord record;
  SettingsFile::decodeInto(SettingsFile::encode(saved), record);
  const Rows rows = summarize(record);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    EXPECT_EQ(rows[row].caption, figures::kSummaryCaptions[row]) << "row " << row;
  }
  EXPECT_EQ(values(rows), (std::vector<std::string>{"",
                                                    "5820",
                                                    "3",
                                                    "12:00",
                                                    "интернет-ссылка",
                                                    "SMS + Сервер",
                                                    std::string(kDefaultServerHost) + ":23351",
                                                    "Каждые 24 часа",
                                                    "Каждый день",
                                                    "Отключена",
                                                    "c 23:00 до 07:00",
                                                    "c 10:00 до 17:00",
                                                    "5",
                                                    "Включена",
                                                    "20",
                                                    "0",
                                                    "Режим 0",
                                                    "1 км",
                                                    "50",
                                                    "Автоматически"}));
  EXPECT_TRUE(rows[10].value.value_or("").starts_with("\x63 ")) << "the Latin letter c";
}

TEST(SettingsSummary, EmptyAndUnusualSlots) {
  SettingsRecord record;
  record.setText(SlotId::OwnerPhone, "00000");
  record.setText(SlotId::ContactTime, "0905");
  record.setText(SlotId::GuardIntervals, "0102");
  record.setText(SlotId::FalseAlarmGuard, "2");
  record.setText(SlotId::BalanceCode, "*\xE1\xE0\xEB#");
  record.setText(SlotId::CoordFormat, "4");
  const Rows rows = summarize(record);
  EXPECT_EQ(values(rows), (std::vector<std::string>{"00000",
                                                    "",
                                                    "0",
                                                    "09:05",
                                                    "<unset>",
                                                    "<unset>",
                                                    ":",
                                                    "<unset>",
                                                    "Каждый день",
                                                    "Отключена",
                                                    "c 01:02 до 00:00",
                                                    "c 00:00 до 00:00",
                                                    "",
                                                    "Выключена",
                                                    "",
                                                    "",
                                                    "Режим 0",
                                                    "0 км",
                                                    "",
                                                    "*бал#"}));

  record.setText(SlotId::FixPeriodDays, "7");
  record.setText(SlotId::ZoneControl, "2 007");
  record.setText(SlotId::DeliveryMode, "1");
  const Rows more = summarize(record);
  EXPECT_EQ(more[8].value, "7");
  EXPECT_EQ(more[16].value, "Режим 2");
  EXPECT_EQ(more[17].value, "7 км");
  EXPECT_EQ(more[5].value, "SMS");
}

}  // namespace
}  // namespace orsa::settings
