#pragma once

#include "settings/SettingsDialogs.h"

namespace orsa::app {

class DialogService;
class TForm1;

// The page checks' questions and notices as message boxes, and their page
// changes on the main window.
class WindowSettingsDialogs final : public settings::SettingsDialogs {
 public:
  WindowSettingsDialogs(TForm1& form, DialogService& dialogs) : form_(form), dialogs_(dialogs) {}

  bool askYesNo(const std::string& text, const std::string& title) override;
  void notify(const std::string& text, const std::string& title) override;
  void showSection(int section) override;
  void showPage(int page) override;

 private:
  TForm1& form_;
  DialogService& dialogs_;
};

}  // namespace orsa::app
