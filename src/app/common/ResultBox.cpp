#include "ResultBox.h"

#include "link/Worker.h"

namespace orsa::app {

void showResultBox(DialogService& dialogs, int resultCode, const QString& text) {
  const QString title = QStringLiteral("Конфигуратор");
  if (resultCode == link::kResultSuccess) {
    dialogs.message(text, title, DialogService::Icon::Information, DialogService::Buttons::Ok);
  } else if (resultCode == link::kResultFailure) {
    dialogs.message(text, title, DialogService::Icon::Warning, DialogService::Buttons::Ok);
  }
}

}  // namespace orsa::app
