#include "settings/SettingsPageItems.h"

#include <algorithm>
#include <vector>

#include "settings/NumberText.h"

namespace orsa::settings {

namespace {

std::vector<std::string> timeZones() {
  std::vector<std::string> items;
  for (int hours = -12; hours <= 14; ++hours) {
    if (hours == 0) {
      items.emplace_back("UTC (00:00)");
      continue;
    }
    std::string item = "UTC (";
    item += hours < 0 ? "-" : "+";
    item += NumberText::twoDigits(hours < 0 ? -hours : hours);
    item += ":00)";
    if (hours == 3) {
      item += " (Москва  )";
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> twoDigitRange(int count) {
  std::vector<std::string> items;
  items.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    items.push_back(NumberText::twoDigits(i));
  }
  return items;
}

std::vector<std::string> decimalRange(int first, int last) {
  std::vector<std::string> items;
  for (int i = first; i <= last; ++i) {
    items.push_back(NumberText::decimal(i));
  }
  return items;
}

std::vector<std::string> amplitudes() {
  std::vector<std::string> items = decimalRange(1, 40);
  items.front() = "1 (Максимальная чувствительность)";
  return items;
}

// Tenths of a second; whole seconds are padded so the unit lines up with "0,5 сек".
std::vector<std::string> durations() {
  std::vector<std::string> items;
  for (int tenths = 0; tenths <= 40; ++tenths) {
    std::string item = NumberText::decimal(tenths / 10);
    if (tenths % 10 == 0) {
      item += "    сек";
    } else {
      item += "," + NumberText::decimal(tenths % 10) + " сек";
    }
    if (tenths == 0) {
      item += " (Максимальная чувствительность)";
    } else if (tenths == 5) {
      item += " (Заводское значение)";
    } else if (tenths == 40) {
      item += " (Минимальная чувствительность)";
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> fixPeriods() {
  std::vector<std::string> items = decimalRange(0, 30);
  items.front() = "Каждый день";
  return items;
}

}  // namespace

std::span<const std::string> comboBoxItems(int comboBoxNumber) {
  static const std::vector<std::string> kTimeZones = timeZones();
  static const std::vector<std::string> kHours = twoDigitRange(24);
  static const std::vector<std::string> kMinutes = twoDigitRange(60);
  static const std::vector<std::string> kTimeouts = decimalRange(5, 99);
  static const std::vector<std::string> kAmplitudes = amplitudes();
  static const std::vector<std::string> kDurations = durations();
  static const std::vector<std::string> kFixPeriods = fixPeriods();
  static const std::vector<std::string> kZoneModes = {"Контроль отключен", "Режим 1", "Режим 2", "Режим 3"};
  static const std::vector<std::string> kDelivery = {"Выключено", "SMS", "Сервер (ORSA)", "SMS + Сервер (ORSA)", ""};

  switch (comboBoxNumber) {
    case 1:
      return kTimeZones;
    case 2:
    case 4:
    case 6:
    case 8:
    case 10:
      return kHours;
    case 3:
    case 5:
    case 7:
    case 9:
    case 11:
      return kMinutes;
    case 13:
      return kTimeouts;
    case 14:
      return kAmplitudes;
    case 15:
      return kDurations;
    case 16:
      return kFixPeriods;
    case 18:
      return kZoneModes;
    case 19:
      return kDelivery;
    default:
      return {};
  }
}

}  // namespace orsa::settings
