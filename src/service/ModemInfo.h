#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "service/ModemReply.h"

namespace orsa::service {

// One line of the modem's diagnostics, as the technician reads it before trusting an SMS or call
// test: what was asked, and what the modem's answer means.
struct ModemInfoItem {
  enum class State {
    Known,        // the modem answered; `value` says what (its own error code included)
    Unsupported,  // a plain ERROR: this modem has no such command
    NoAnswer,     // nothing final came
  };
  std::string key;    // for scripts: "model", "signal", ...
  std::string label;  // for people: "Модель", "Сигнал", ...
  State state = State::NoAnswer;
  std::string value;  // UTF-8; for Unsupported and NoAnswer the words that say so
  // The figure behind a value where scripts want one: dBm of the signal, millivolts of the supply.
  std::optional<int> number;
};

// One question of the diagnostics: the command and how its answer reads.
struct ModemInfoQuery {
  std::string_view key;
  std::string_view label;
  std::string_view command;
  std::string (*interpret)(const ModemReply& reply, std::optional<int>& number);
};

// The questions, in the order they are asked: model, firmware, IMEI, SIM, ICCID, signal, network
// registration, operator, supply voltage.
std::span<const ModemInfoQuery> modemInfoQueries();

// The item for one question's reply.
ModemInfoItem modemInfoItem(const ModemInfoQuery& query, const ModemReply& reply);

}  // namespace orsa::service
