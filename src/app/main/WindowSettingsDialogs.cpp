#include "WindowSettingsDialogs.h"

#include "DialogService.h"
#include "TForm1.h"

namespace orsa::app {

bool WindowSettingsDialogs::askYesNo(const std::string& text, const std::string& title) {
  return dialogs_.message(QString::fromStdString(text), QString::fromStdString(title), DialogService::Icon::Warning,
                          DialogService::Buttons::YesNo) == DialogService::Answer::Yes;
}

void WindowSettingsDialogs::notify(const std::string& text, const std::string& title) {
  dialogs_.message(QString::fromStdString(text), QString::fromStdString(title), DialogService::Icon::Warning,
                   DialogService::Buttons::Ok);
}

void WindowSettingsDialogs::showSection(int section) { form_.selectSection(section); }

void WindowSettingsDialogs::showPage(int page) { form_.showPage(page); }

}  // namespace orsa::app
