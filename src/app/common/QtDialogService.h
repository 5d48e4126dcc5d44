#pragma once

#include "DialogService.h"

#include <memory>

class QFileDialog;

namespace orsa::app {

// Real modal message boxes and the platform's file dialogs.
class QtDialogService : public DialogService {
 public:
  Answer show(const Box& box) override;
  std::optional<QString> openFileName(const QString& filter) override;
  std::optional<QString> saveFileName(const QString& initialName, const QString& filter) override;
  std::optional<QString> folderName(const QString& title) override;

  // "Файл конфигурации|*.cfg" -> "Файл конфигурации (*.cfg)".
  static QString toQtFilter(const QString& filter);
  // A file dialog as the program shows it: the platform's own where it has one; otherwise Qt's,
  // in Russian down to the kinds of its entries, in detail view with every column wide enough to
  // read.
  static std::unique_ptr<QFileDialog> fileDialog(const QString& title, const QString& filter);
};

}  // namespace orsa::app
