#include "ResultBox.h"

#include "link/Worker.h"

namespace orsa::app {

void showResultBox(DialogService& dialogs, int resultCode, const QString& text, const QString& details) {
  DialogService::Box box{text, QStringLiteral("Конфигуратор")};
  box.details = details;
  if (resultCode == link::kResultSuccess) {
    box.icon = DialogService::Icon::Information;
  } else if (resultCode == link::kResultFailure) {
    box.icon = DialogService::Icon::Warning;
  } else {
    return;
  }
  dialogs.show(box);
}

}  // namespace orsa::app
