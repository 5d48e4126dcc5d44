#pragma once

#include <string>

namespace orsa::settings {

// What the page checks need of the window: questions, notices and bringing a page forward.
// Texts and titles are UTF-8; message boxes have no owner window.
class SettingsDialogs {
 public:
  virtual ~SettingsDialogs() = default;

  // Warning icon, Yes and No buttons; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
  // Warning icon, one OK button.
  virtual void notify(const std::string& text, const std::string& title) = 0;
  // Makes section 1..8 the current one (navigation look included) and shows its page.
  virtual void showSection(int section) = 0;
  // Shows page 0..7 without touching the current section. Windows that keep no separate notion
  // of a current section may rely on this fallback.
  virtual void showPage(int page) { showSection(page + 1); }
};

}  // namespace orsa::settings
