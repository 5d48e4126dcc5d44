#pragma once

#include "DialogService.h"

namespace orsa::app {

// Real modal message boxes and the platform's file dialogs.
class QtDialogService : public DialogService {
 public:
  Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
  std::optional<QString> openFileName(const QString& filter) override;
  std::optional<QString> saveFileName(const QString& initialName, const QString& filter) override;
  std::optional<QString> folderName(const QString& title) override;

  // "Файл конфигурации|*.cfg" -> "Файл конфигурации (*.cfg)".
  static QString toQtFilter(const QString& filter);
};

}  // namespace orsa::app
