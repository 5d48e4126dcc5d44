#include "settings/SettingsSummary.h"

#include <string_view>

#include "settings/Cp1251.h"
#include "settings/NumberText.h"
#include "settings/SettingsDefaults.h"
#include "settings/SlotFields.h"

namespace orsa::settings {

namespace {

constexpr std::array<std::string_view, kSummaryRowCount> kCaptions = {
    "Номер владельца",
    "PIN-код",
    "Часовой пояс",
    "Время основного сеанса",
    "Формат координат",
    "Режим передачи данных",
    "Адрес сервера : порт",
    "Частота выхода на связь",
    "Период определения координат (Суток)",
    "Охрана по датчику движения",
    "Период времени охраны №1",
    "Период времени охраны №2",
    "Тайм-аут датчика движения",
    "Защита от ложных срабатываний датчика",
    "Воздействие на датчик (амплитуда)",
    "Воздействие на датчик (длительность)",
    "Охрана периметра",
    "Диаметр зоны охраны",
    "Порог остатка средств",
    "Код запроса баланса",
};

// Words for the numbers that have them; any other number leaves the cell as it was.
template <std::size_t N>
std::optional<std::string> tabled(int number, int first, const std::array<std::string_view, N>& words) {
  const long long index = static_cast<long long>(number) - first;
  if (index < 0 || index >= static_cast<long long>(N)) {
    return std::nullopt;
  }
  return std::string(words[static_cast<std::size_t>(index)]);
}

std::string clock(int hour, int minute) { return NumberText::twoDigits(hour) + ":" + NumberText::twoDigits(minute); }

std::string interval(const std::array<int, 8>& fields, std::size_t first) {
  // The opening "c " is the Latin letter, as the grid has always shown it.
  return "c " + clock(fields[first], fields[first + 1]) + " до " + clock(fields[first + 2], fields[first + 3]);
}

}  // namespace

std::array<SummaryRow, kSummaryRowCount> summarize(const SettingsRecord& record) {
  std::array<SummaryRow, kSummaryRowCount> rows;
  for (std::size_t i = 0; i < kSummaryRowCount; ++i) {
    rows[i].caption = std::string(kCaptions[i]);
  }
  const auto text = [&](SlotId slot) { return Cp1251::toUtf8(record.text(slot)); };
  const auto number = [&](SlotId slot) { return record.number(slot); };

  rows[0].value = text(SlotId::OwnerPhone);
  rows[1].value = text(SlotId::DevicePin);
  rows[2].value = NumberText::decimal(number(SlotId::TimeZone));
  const ContactTimeFields contact = readContactTime(record);
  rows[3].value = clock(contact.hour, contact.minute);
  rows[4].value =
      tabled(number(SlotId::CoordFormat), 0,
             std::array<std::string_view, 4>{"dd,ddddd°", "dd° mm,mmm'", "dd° mm' ss,ss''", "интернет-ссылка"});
  rows[5].value =
      tabled(number(SlotId::DeliveryMode), 1, std::array<std::string_view, 3>{"SMS", "Сервер", "SMS + Сервер"});
  rows[6].value = text(SlotId::ServerHost) + ":" + text(SlotId::ServerPort);
  rows[7].value = tabled(number(SlotId::WakeInterval), 1,
                         std::array<std::string_view, 3>{"Каждые 24 часа", "Каждые 12 часов", "Каждые 8 часов"});
  rows[8].value = number(SlotId::FixPeriodDays) == 0 ? std::string("Каждый день") : text(SlotId::FixPeriodDays);
  rows[9].value = tabled(number(SlotId::MotionMode), 0,
                         std::array<std::string_view, 4>{"Отключена", "Включена постоянно", "Включена в периоде №1",
                                                         "Включена в периоде №1 и №2"});
  const std::array<int, 8> guard = readGuardIntervals(record);
  rows[10].value = interval(guard, 0);
  rows[11].value = interval(guard, 4);
  rows[12].value = text(SlotId::MotionTimeout);
  rows[13].value = number(SlotId::FalseAlarmGuard) == 1 ? "Включена" : "Выключена";
  rows[14].value = text(SlotId::MotionAmplitude);
  rows[15].value = text(SlotId::MotionDuration);
  const ZoneControlFields zone = readZoneControl(record);
  rows[16].value = "Режим " + NumberText::decimal(zone.mode);
  rows[17].value = NumberText::decimal(zone.diameter) + " км";
  rows[18].value = text(SlotId::BalanceThreshold);
  rows[19].value =
      record.text(SlotId::BalanceCode) == kNotSetMarker ? std::string("Автоматически") : text(SlotId::BalanceCode);
  return rows;
}

}  // namespace orsa::settings
