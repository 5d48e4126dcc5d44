#pragma once

#include <QString>

#include "DialogService.h"

namespace orsa::app {

// How an operation's result code reaches the user: "Конфигуратор" with the information icon for
// success, the warning icon for failure, and no box at all for any other code.
void showResultBox(DialogService& dialogs, int resultCode, const QString& text);

}  // namespace orsa::app
