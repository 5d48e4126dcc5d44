#include "settings/SlotRules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <stdexcept>

#include "settings/KeyFilter.h"
#include "settings/NumberText.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsPageItems.h"

namespace orsa::settings {

namespace {

using Kind = SlotRule::Kind;

std::vector<SlotRule> makeRules() {
  const std::string port = "1–65535";
  std::vector<SlotRule> rules = {
      {SlotId::OwnerPhone, Kind::Phone, "Номер телефона владельца", "цифры и «+», например +79161234567", {}},
      {SlotId::DevicePin, Kind::Pin, "Пароль", "4 цифры", {}},
      {SlotId::TimeZone, Kind::Number, "Часовой пояс", "часы от UTC, от -12 до +14, например +3", {}, -12, 14},
      {SlotId::ContactTime, Kind::Time, "Основное время выхода на связь", "ЧЧ:ММ, от 00:00 до 23:59", {}},
      {SlotId::CoordFormat,
       Kind::Choice,
       "Формат присылаемых координат",
       "",
       {{"degrees", "0", "DD,DDDDD°"},
        {"minutes", "1", "DD° MM,MMM'"},
        {"seconds", "2", "DD° MM' SS,SS''"},
        {"link", "3", "Активная интернет-ссылка"}}},
      {SlotId::DeliveryMode,
       Kind::Choice,
       "Способ передачи данных пользователю",
       "",
       {{"off", "0", "Выключено"},
        {"sms", "1", "SMS"},
        {"server", "2", "Сервер (ORSA)"},
        {"sms+server", "3", "SMS + Сервер (ORSA)"}}},
      {SlotId::ServerHost, Kind::Text, "IP или домен сервера", "адрес сервера", {}},
      {SlotId::ServerPort, Kind::Port, "Порт сервера", port, {}},
      {SlotId::WialonEnabled, Kind::Switch, "Передача по протоколу Wialon IPS 2.0", "yes или no", {}},
      {SlotId::WialonHost, Kind::Text, "IP/домен дополнительного сервера", "адрес сервера", {}},
      {SlotId::WialonPort, Kind::Port, "Порт дополнительного сервера", port, {}},
      {SlotId::WialonPassword, Kind::Text, "Пароль для доступа к дополнительному серверу", "любой текст", {}},
      {SlotId::WakeInterval,
       Kind::Choice,
       "Частота выхода на связь",
       "",
       {{"24h", "1", "Каждые 24 часа"}, {"12h", "2", "Каждые 12 часов"}, {"8h", "3", "Каждые 8 часов"}}},
      {SlotId::FixPeriodDays,
       Kind::Number,
       "Период определения координат (суток)",
       "от 0 (каждый день) до 30",
       {},
       0,
       30},
      {SlotId::ConstantSlotA, Kind::ReadOnly, "Служебная ячейка", "задаётся программой", {}},
      {SlotId::MotionMode,
       Kind::Choice,
       "Режим работы датчика движения",
       "",
       {{"off", "0", "Датчик движения отключен"},
        {"always", "1", "Датчик движения включен всегда"},
        {"interval1", "2", "В интервале времени №1"},
        {"intervals", "3", "В интервалах времени №1 и №2"}}},
      {SlotId::GuardIntervals,
       Kind::Intervals,
       "Интервалы работы датчика движения",
       "ЧЧ:ММ-ЧЧ:ММ,ЧЧ:ММ-ЧЧ:ММ (интервалы №1 и №2)",
       {}},
      {SlotId::MotionTimeout, Kind::Number, "Тайм-аут датчика движения (мин.)", "от 5 до 99", {}, 5, 99},
      {SlotId::FalseAlarmGuard, Kind::Switch, "Защита от ложных срабатываний датчика движения", "yes или no", {}},
      {SlotId::MotionAmplitude,
       Kind::Number,
       "Амплитуда воздействия на датчик движения",
       "от 1 (максимальная чувствительность) до 40",
       {},
       1,
       40},
      {SlotId::MotionDuration,
       Kind::Number,
       "Длительность воздействия на датчик движения (десятые доли секунды)",
       "от 0 до 40",
       {},
       0,
       40},
      {SlotId::ZoneControl,
       Kind::Zone,
       "Контроль выхода из зоны охраны",
       "режим 0–3 (0: контроль отключен) и диаметр зоны 1–999 км через пробел, например \"1 10\"",
       {}},
      {SlotId::BalanceThreshold, Kind::Number, "Порог остатка средств", "целое число", {}, INT_MIN, INT_MAX},
      {SlotId::BalanceCode,
       Kind::BalanceCode,
       "Код запроса баланса",
       "auto (определять автоматически) или код оператора, например *100#",
       {}},
      {SlotId::DeviceImei, Kind::ReadOnly, "IMEI", "читается с маяка", {}},
      {SlotId::ReadOnlyA, Kind::ReadOnly, "Служебная ячейка", "читается с маяка", {}},
      {SlotId::ReadOnlyB, Kind::ReadOnly, "Служебная ячейка", "читается с маяка", {}},
      {SlotId::ReadOnlyC, Kind::ReadOnly, "Служебная ячейка", "читается с маяка", {}},
      {SlotId::ConstantSlotB, Kind::ReadOnly, "Служебная ячейка", "задаётся программой", {}},
  };
  for (SlotRule& rule : rules) {
    if (rule.kind != Kind::Choice) continue;
    for (const SlotChoice& choice : rule.choices) {
      if (!rule.allowed.empty()) rule.allowed += ", ";
      rule.allowed += std::string(choice.word) + " (" + std::string(choice.text) + ")";
    }
  }
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (indexOf(rules[i].slot) != i) throw std::logic_error("slot rules out of record order");
  }
  return rules;
}

std::string lower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

// A whole decimal number with an optional sign; nothing else around it.
std::optional<long long> wholeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool allDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "HH:MM" or "HHMM" within a day.
std::optional<std::string> timeOfDay(std::string_view text) {
  std::string digits(text);
  if (digits.size() == 5 && digits[2] == ':') digits.erase(2, 1);
  if (digits.size() != 4 || !allDigits(digits)) return std::nullopt;
  const int hours = std::stoi(digits.substr(0, 2));
  const int minutes = std::stoi(digits.substr(2, 2));
  if (hours > 23 || minutes > 59) return std::nullopt;
  return digits;
}

// The typed text as the window's field would take it keystroke by keystroke from empty.
bool typeable(FilteredField field, std::string_view ascii) {
  return acceptsEdit(field, U"", std::u32string(ascii.begin(), ascii.end()));
}

std::optional<std::string> choiceText(const SlotRule& rule, std::string_view value) {
  const std::string word = lower(value);
  for (const SlotChoice& choice : rule.choices) {
    if (word == choice.word || value == choice.text) return std::string(choice.text);
  }
  return std::nullopt;
}

std::optional<std::string> switchText(std::string_view value) {
  const std::string word = lower(value);
  if (word == "1" || word == "yes" || word == "on" || word == "true" || word == "да") return "1";
  if (word == "0" || word == "no" || word == "off" || word == "false" || word == "нет") return "0";
  return std::nullopt;
}

std::optional<std::string> timeZoneText(std::string_view value) {
  std::string text = lower(value);
  if (text.rfind("utc", 0) == 0) text.erase(0, 3);
  if (text.size() > 3 && text.compare(text.size() - 3, 3, ":00") == 0) text.resize(text.size() - 3);
  const auto hours = wholeNumber(text);
  if (!hours || *hours < -12 || *hours > 14) return std::nullopt;
  return NumberText::decimal(static_cast<int>(*hours));
}

// Two intervals, four times of day: "ЧЧ:ММ-ЧЧ:ММ,ЧЧ:ММ-ЧЧ:ММ", or the slot's sixteen digits.
std::optional<std::string> intervalsText(std::string_view value) {
  std::string digits;
  std::string_view rest = value;
  if (value.size() == 16 && allDigits(value)) {
    for (std::size_t at = 0; at < 16; at += 4) {
      if (!timeOfDay(value.substr(at, 4))) return std::nullopt;
    }
    return std::string(value);
  }
  for (int part = 0; part < 4; ++part) {
    const std::size_t end = std::min(rest.find_first_of("-,"), rest.size());
    const auto time = timeOfDay(rest.substr(0, end));
    if (!time) return std::nullopt;
    digits += *time;
    const char wanted = part == 3 ? '\0' : (part % 2 == 0 ? '-' : ',');
    if (wanted == '\0') {
      if (end != rest.size()) return std::nullopt;
    } else {
      if (end == rest.size() || rest[end] != wanted) return std::nullopt;
      rest.remove_prefix(end + 1);
    }
  }
  return digits;
}

// "MODE DIAMETER": a mode of the list and a diameter the field takes, 1 to 999 km.
std::optional<std::string> zoneText(std::string_view value) {
  const std::size_t blank = value.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  const std::string_view mode = value.substr(0, blank);
  std::string_view diameter = value.substr(blank + 1);
  if (mode.size() != 1 || mode[0] < '0' || mode[0] > '3') return std::nullopt;
  while (diameter.size() > 1 && diameter.front() == '0') diameter.remove_prefix(1);
  if (!typeable(FilteredField::Edit6, diameter) || diameter.empty() || diameter == "0") return std::nullopt;
  const std::string km(diameter);  // at most three digits, as the field takes
  return std::string(mode) + ' ' + std::string(3 - km.size(), '0') + km;
}

std::optional<std::string> readValue(const SlotRule& rule, std::string_view value) {
  switch (rule.kind) {
    case Kind::Text:
      return std::string(value);
    case Kind::Phone:
      if (!typeable(FilteredField::Edit1, value)) return std::nullopt;
      return std::string(value);
    case Kind::Pin:
      if (value == kNotSetMarker) return std::string(value);  // as a beacon without a PIN reports it
      if (value.size() != kEdit2TypingLimit || !typeable(FilteredField::Edit2, value)) return std::nullopt;
      return std::string(value);
    case Kind::Port: {
      // Empty is the window's too: it asks whether to go on without a server.
      if (value.empty()) return std::string();
      const auto number = wholeNumber(value);
      if (!allDigits(value) || !number || *number < 1 || *number > 65535) return std::nullopt;
      if (rule.slot == SlotId::ServerPort && !typeable(FilteredField::Edit8, value)) return std::nullopt;
      return std::string(value);
    }
    case Kind::Number: {
      if (rule.slot == SlotId::TimeZone) return timeZoneText(value);
      const auto number = wholeNumber(value);
      if (!number || *number < rule.low || *number > rule.high) return std::nullopt;
      return std::to_string(*number);
    }
    case Kind::Choice:
      return choiceText(rule, value);
    case Kind::Switch:
      return switchText(value);
    case Kind::Time:
      return timeOfDay(value);
    case Kind::Intervals:
      return intervalsText(value);
    case Kind::Zone:
      return zoneText(value);
    case Kind::BalanceCode:
      if (lower(value) == "auto" || value == kNotSetMarker) return std::string(kNotSetMarker);
      if (value.empty()) return std::nullopt;
      return std::string(value);
    case Kind::ReadOnly:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

const std::vector<SlotRule>& slotRules() {
  static const std::vector<SlotRule> rules = makeRules();
  return rules;
}

const SlotRule& slotRule(SlotId slot) { return slotRules()[indexOf(slot)]; }

SlotInput readSlotInput(SlotId slot, std::string_view value) {
  const SlotRule& rule = slotRule(slot);
  SlotInput input;
  input.text = readValue(rule, value);
  if (!input.text) input.refusal = rule.kind == Kind::ReadOnly ? rule.allowed + ", не записывается" : rule.allowed;
  return input;
}

std::string readableSlotValue(SlotId slot, std::string_view text) {
  const SlotRule& rule = slotRule(slot);
  const auto clock = [](std::string_view digits) {
    return std::string(digits.substr(0, 2)) + ':' + std::string(digits.substr(2, 2));
  };
  switch (rule.kind) {
    case Kind::Choice:
      for (const SlotChoice& choice : rule.choices) {
        if (text == choice.text) return std::string(choice.word);
      }
      break;
    case Kind::Switch:
      if (text == "1") return "yes";
      if (text == "0") return "no";
      break;
    case Kind::Number:
      if (const auto hours = wholeNumber(text); slot == SlotId::TimeZone && hours && *hours > 0 && text[0] != '+') {
        return "+" + std::string(text);
      }
      break;
    case Kind::Time:
      if (text.size() == 4 && allDigits(text)) return clock(text);
      break;
    case Kind::Intervals:
      if (text.size() == 16 && allDigits(text)) {
        return clock(text.substr(0, 4)) + '-' + clock(text.substr(4, 4)) + ',' + clock(text.substr(8, 4)) + '-' +
               clock(text.substr(12, 4));
      }
      break;
    case Kind::BalanceCode:
      if (text == kNotSetMarker) return "auto";
      break;
    default:
      break;
  }
  return std::string(text);
}

}  // namespace orsa::settings
