#pragma once

#include <QString>

#include "DialogService.h"

namespace orsa::app {

// How an operation's result code reaches the user: "Конфигуратор" with the information icon for
// success, the warning icon for failure, and no box at all for any other code. `details` is the
// reason, shown under the text.
void showResultBox(DialogService& dialogs, int resultCode, const QString& text, const QString& details = {});

}  // namespace orsa::app
