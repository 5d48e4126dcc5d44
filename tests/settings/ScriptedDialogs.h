#pragma once

#include <deque>
#include <string>
#include <vector>

#include "settings/SettingsDialogs.h"

namespace orsa::settings::test {

// Answers questions from a script (No once it runs dry) and records every call in order.
class ScriptedDialogs : public SettingsDialogs {
 public:
  std::deque<bool> answers;
  std::vector<std::string> calls;

  bool askYesNo(const std::string& text, const std::string& title) override {
    calls.push_back("ask:" + title + ":" + text);
    const bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  void notify(const std::string& text, const std::string& title) override {
    calls.push_back("notify:" + title + ":" + text);
  }
  void showSection(int section) override { calls.push_back("section:" + std::to_string(section)); }
  void showPage(int page) override { calls.push_back("page:" + std::to_string(page)); }
};

}  // namespace orsa::settings::test
