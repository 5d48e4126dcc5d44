#include "service/ModemInfo.h"

#include <array>
#include <charconv>
#include <vector>

#include "service/ModemText.h"

namespace orsa::service {

namespace {

std::optional<int> integer(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end == text.data()) return std::nullopt;
  return value;
}

// The comma-separated fields of an information line, quotes removed.
std::vector<std::string> fields(std::string_view text) {
  std::vector<std::string> result(1);
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      result.emplace_back();
    } else {
      result.back().push_back(c);
    }
  }
  return result;
}

std::string firstLine(const ModemReply& reply) { return reply.lines.empty() ? std::string() : reply.lines.front(); }

std::string allLines(const ModemReply& reply, std::optional<int>&) {
  std::string text;
  for (const std::string& line : reply.lines) text += (text.empty() ? "" : " ") + line;
  return text;
}

std::string firmware(const ModemReply& reply, std::optional<int>&) {
  return reply.field("Revision:").value_or(firstLine(reply));
}

std::string imei(const ModemReply& reply, std::optional<int>&) {
  const std::string line = firstLine(reply);
  return isValidImei(line) ? line : "неверный IMEI «" + line + "»";
}

std::string simState(const ModemReply& reply, std::optional<int>&) {
  const auto state = reply.field("+CPIN: ");
  if (!state) return firstLine(reply);
  if (*state == "READY") return "готова (READY)";
  if (*state == "SIM PIN") return "ждёт PIN-код (SIM PIN)";
  if (*state == "SIM PUK") return "заблокирована, нужен PUK (SIM PUK)";
  return *state;
}

std::string iccid(const ModemReply& reply, std::optional<int>&) {
  return reply.field("+CCID: ").value_or(firstLine(reply));
}

std::string signal(const ModemReply& reply, std::optional<int>& number) {
  const auto csq = reply.field("+CSQ: ");
  const auto rssi = csq ? integer(fields(*csq)[0]) : std::nullopt;
  if (!rssi) return firstLine(reply);
  if (*rssi < 0 || *rssi > 31) return "нет сигнала (CSQ " + std::to_string(*rssi) + ")";
  // 0 stands for -113 dBm or less, each step is 2 dBm, 31 for -51 dBm or more.
  number = -113 + 2 * *rssi;
  return std::to_string(*number) + " дБм (CSQ " + std::to_string(*rssi) + ")";
}

std::string registration(const ModemReply& reply, std::optional<int>&) {
  const auto creg = reply.field("+CREG: ");
  if (!creg) return firstLine(reply);
  const auto parts = fields(*creg);
  const auto status = parts.size() > 1 ? integer(parts[1]) : std::nullopt;
  static constexpr std::array<const char*, 6> kStates{"не зарегистрирован",    "домашняя сеть", "поиск сети",
                                                      "регистрация отклонена", "неизвестно",    "роуминг"};
  if (!status || *status < 0 || *status >= static_cast<int>(kStates.size())) return *creg;
  return std::string(kStates[static_cast<std::size_t>(*status)]) + " (" + std::to_string(*status) + ")";
}

std::string networkOperator(const ModemReply& reply, std::optional<int>&) {
  const auto cops = reply.field("+COPS: ");
  if (!cops) return firstLine(reply);
  const auto parts = fields(*cops);
  return parts.size() > 2 && !parts[2].empty() ? parts[2] : "не выбран";
}

std::string supply(const ModemReply& reply, std::optional<int>& number) {
  const auto cbc = reply.field("+CBC: ");
  const auto parts = cbc ? fields(*cbc) : std::vector<std::string>{};
  const auto millivolts = parts.size() > 2 ? integer(parts[2]) : std::nullopt;
  if (!millivolts) return cbc.value_or(firstLine(reply));
  number = *millivolts;
  const std::string fraction = std::to_string(1000 + *millivolts % 1000).substr(1);
  return std::to_string(*millivolts / 1000) + "," + fraction + " В (" + parts[1] + " %)";
}

constexpr std::array<ModemInfoQuery, 9> kQueries{{
    {"model", "Модель", "ATI\r\n", allLines},
    {"firmware", "Прошивка модема", "AT+CGMR\r\n", firmware},
    {"imei", "IMEI", "AT+GSN\r\n", imei},
    {"sim", "SIM-карта", "AT+CPIN?\r\n", simState},
    {"iccid", "ICCID", "AT+CCID\r\n", iccid},
    {"signal", "Сигнал", "AT+CSQ\r\n", signal},
    {"registration", "Регистрация в сети", "AT+CREG?\r\n", registration},
    {"operator", "Оператор", "AT+COPS?\r\n", networkOperator},
    {"supply", "Напряжение питания", "AT+CBC\r\n", supply},
}};

}  // namespace

std::span<const ModemInfoQuery> modemInfoQueries() { return kQueries; }

ModemInfoItem modemInfoItem(const ModemInfoQuery& query, const ModemReply& reply) {
  ModemInfoItem item{std::string(query.key), std::string(query.label), ModemInfoItem::State::Known, {}, std::nullopt};
  if (reply.ok()) {
    item.value = query.interpret(reply, item.number);
  } else if (reply.outcome == ModemReply::Outcome::Error && reply.finalLine == "ERROR") {
    item.state = ModemInfoItem::State::Unsupported;
    item.value = "не поддерживается";
  } else if (reply.answered()) {
    item.value = "ошибка: " + reply.finalLine;  // +CME ERROR: 10 and its kin are the modem's own word
  } else {
    item.state = ModemInfoItem::State::NoAnswer;
    item.value = describeModemReply(reply);
  }
  return item;
}

}  // namespace orsa::service
