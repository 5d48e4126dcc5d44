#include "SettingsCommands.h"

#include "LocalPath.h"
#include "DeviceSession.h"
#include "DialogService.h"
#include "PageBinding.h"
#include "ResultBox.h"
#include "SummaryPage.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm6.h"
#include "WindowSettingsDialogs.h"
#include "settings/CollectRecord.h"
#include "settings/Cp1251.h"
#include "settings/IntegerConversionError.h"
#include "settings/RWSettingsThread.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsSummary.h"
#include "settings/ShowRecord.h"

#include <QLineEdit>

namespace orsa::app {
namespace {

namespace messages = settings::messages;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

SettingsCommands::SettingsCommands(TForm1& form, DeviceSession& session, DialogService& dialogs)
    : form_(form), session_(session), dialogs_(dialogs) {}

SettingsCommands::~SettingsCommands() = default;

void SettingsCommands::showRecord() {
  const PageBinding binding(form_);
  settings::SettingsPage page = binding.read();
  settings::ShowRecord(session_.record, page);
  binding.write(page);
}

void SettingsCommands::fillSummaryGrid() {
  SummaryPage* summary = form_.summaryPage();
  const auto rows = settings::summarize(session_.record);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    summary->setCell(row, 0, QString::fromStdString(rows[static_cast<size_t>(row)].caption));
  }
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    if (const auto& value = rows[static_cast<size_t>(row)].value) {
      summary->setCell(row, 1, QString::fromStdString(*value));
    }
  }
}

bool SettingsCommands::collect() {
  WindowSettingsDialogs questions(form_, dialogs_);
  try {
    return settings::CollectRecord(PageBinding(form_).read(), session_.record, questions);
  } catch (const settings::IntegerConversionError& error) {
    // Shown like any error that escapes a command: the program's title, a stop icon.
    dialogs_.message(QString::fromUtf8(error.what()), qs(messages::kResultTitle), DialogService::Icon::Critical,
                     DialogService::Buttons::Ok);
    return false;
  }
}

void SettingsCommands::read() {
  if (!busy()) {
    start(settings::RWSettingsThread::kReadMode);
  }
}

void SettingsCommands::write() {
  if (!busy() && collect()) {
    start(settings::RWSettingsThread::kWriteMode);
  }
}

bool SettingsCommands::reading() const { return busy() && runningMode_ == settings::RWSettingsThread::kReadMode; }

bool SettingsCommands::writing() const { return busy() && runningMode_ == settings::RWSettingsThread::kWriteMode; }

void SettingsCommands::hideProgressWindow() {
  if (TForm3* progress = form_.form3()) {
    // Where the system gave the progress window the keyboard, it goes back to the main window.
    const bool hadKeyboard = progress->isActiveWindow();
    progress->hide();
    if (hadKeyboard) form_.activateWindow();
  }
}

void SettingsCommands::start(int mode) {
  using Worker = settings::RWSettingsThread;
  Worker::Callbacks callbacks;
  callbacks.showResult = [this](const Worker& w) {
    // A write ends with a box either way; a read only when it fails.
    lastExchangeSucceeded_ = w.resultCode == link::kResultSuccess;
    // The box is modal and the exchange is over: a progress window behind it would still look busy.
    hideProgressWindow();
    form_.showOperationResult(w.resultCode, QString::fromStdString(w.messageText));
  };
  callbacks.showProgressWindow = [this](const Worker& w) {
    if (TForm3* progress = form_.form3()) {
      progress->showWithCaption(QString::fromStdString(w.progressCaption));
    }
  };
  callbacks.showProgress = [this](const Worker& w) {
    if (TForm3* progress = form_.form3()) {
      progress->setProgress(w.progressMax, w.progressPosition);
    }
  };
  callbacks.hideProgressWindow = [this](const Worker&) { hideProgressWindow(); };
  callbacks.showRecord = [this](const Worker&) {
    // Only a read that got every slot puts the record onto the pages.
    if (runningMode_ == Worker::kReadMode) lastExchangeSucceeded_ = true;
    showRecord();
  };
  callbacks.fillSummary = [this](const Worker&) { fillSummaryGrid(); };
  callbacks.replyDump = [this](const std::string& line) {
    if (TForm6* log = form_.form6()) {
      log->appendLine(QString::fromStdString(line));
    }
  };

  auto worker =
      std::make_unique<Worker>(session_.linkForOperation(), session_.record, session_.replyLock, std::move(callbacks));
  worker->mode = mode;
  runningMode_ = mode;
  lastExchangeSucceeded_ = false;
  // A stopped read skips the worker's own last calls into the window; the window is tidied here.
  if (auto refusal = worker_.start(std::move(worker), [this] {
        hideProgressWindow();
        emit exchangeFinished();
      })) {
    showResultBox(dialogs_, link::kResultFailure, QString::fromStdString(*refusal));
  }
}

void SettingsCommands::restoreDefaults() {
  if (busy()) {
    return;
  }
  const QString phone = form_.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text();
  session_.record.RestoreDefaults(settings::Cp1251::fromUtf8(phone.toStdString()));
  showRecord();
}

void SettingsCommands::save() {
  if (busy() || !collect()) {
    return;
  }
  const auto chosen = dialogs_.saveFileName(qs(messages::kFileDefaultName), qs(messages::kFileFilter));
  if (!chosen || chosen->isEmpty()) {
    return;
  }
  const std::string name = settings::SettingsFile::nameForSaving(chosen->toStdString());
  const auto result = settings::SettingsFile::save(localPath(QString::fromStdString(name)), session_.record);
  if (!result) {
    dialogs_.message(QString::fromStdString(result.message), qs(messages::kFileErrorTitle), DialogService::Icon::None,
                     DialogService::Buttons::Ok);
  }
}

void SettingsCommands::load() {
  if (busy()) {
    return;
  }
  const auto chosen = dialogs_.openFileName(qs(messages::kFileFilter));
  if (!chosen || chosen->isEmpty()) {
    return;
  }
  openFile(*chosen);
}

void SettingsCommands::openFile(const QString& name) {
  if (busy() || name.isEmpty() || !settings::SettingsFile::isLoadableName(name.toStdString())) {
    return;
  }
  const auto result = settings::SettingsFile::load(localPath(name), session_.record);
  if (!result) {
    dialogs_.message(QString::fromStdString(result.message), qs(messages::kFileErrorTitle), DialogService::Icon::None,
                     DialogService::Buttons::Ok);
    return;
  }
  showRecord();
  fillSummaryGrid();
}

}  // namespace orsa::app
