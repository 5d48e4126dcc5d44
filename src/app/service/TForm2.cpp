#include "TForm2.h"

#include "LocalPath.h"
#include "DialogService.h"
#include "PictureButton.h"
#include "UiColors.h"
#include "WindowPlacement.h"
#include "service/ServerCommandFile.h"
#include "settings/SettingsMessages.h"

#include <QComboBox>

#include <filesystem>

namespace orsa::app {
namespace {

using service::ServerCommandFile;

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace

TForm2::TForm2(DialogService& dialogs, QWidget* owner) : QWidget(owner, Qt::Window), dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Команда (WAIALON)"));
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, colors::formWhite());
  setPalette(pal);

  modes_ = new QComboBox(this);
  modes_->setObjectName(QStringLiteral("ComboBox1"));
  modes_->setEditable(true);
  // Enter in the field must not grow the list: the entries are the only modes a beacon knows.
  modes_->setInsertPolicy(QComboBox::NoInsert);
  for (std::string_view entry : ServerCommandFile::kModeEntries) {
    modes_->addItem(qs(entry));
  }
  modes_->setCurrentIndex(0);
  modes_->setGeometry(24, 48, 250, 24);

  save_ = new PictureButton(QStringLiteral("SpeedButton1"), QStringLiteral("save"), QString(), this);
  save_->setFixedSize(50, 50);
  save_->move(302, 35);

  connect(save_, &PictureButton::clicked, this, &TForm2::saveCommand);
}

void TForm2::open() {
  if (!isVisible() && parentWidget() != nullptr) {
    centreWindowAt(*this, parentWidget()->frameGeometry().center());
  }
  show();
  raise();
  activateWindow();
}

std::uint8_t TForm2::modeCode() const {
  const int entry = modes_->findText(modes_->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  return entry < 0 ? 0 : static_cast<std::uint8_t>(entry + 1);
}

void TForm2::saveCommand() {
  const auto chosen =
      dialogs_.saveFileName(qs(ServerCommandFile::kProposedName), QStringLiteral("Команда WIALON|*.cfg"));
  if (!chosen || chosen->isEmpty()) {
    return;
  }
  const QString name = QString::fromStdString(ServerCommandFile::nameForSaving(chosen->toStdString()));
  const auto written = ServerCommandFile::save(localPath(name), modeCode());
  if (!written) {
    dialogs_.message(qs(written.message()), qs(settings::messages::kFileErrorTitle), DialogService::Icon::None,
                     DialogService::Buttons::Ok);
    return;
  }
  hide();
}

}  // namespace orsa::app
