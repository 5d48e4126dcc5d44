#pragma once

#include <QPointer>
#include <QWidget>

#include "link/SerialPortMap.h"

#include <memory>

class QStackedWidget;

namespace orsa::app {

class CommandBar;
class DeviceSession;
class DialogService;
class FirmwareCommands;
class HeaderPanel;
class PortPanel;
class SectionColumn;
class SettingsCommands;
class SummaryPage;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

// The configurator's main window: header, section column, command bar,
// settings pages and port panel.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 748;
  static constexpr int kClientHeight = 576;

  // Without a port map the system's own serial ports are used.
  explicit TForm1(DialogService& dialogs, std::unique_ptr<link::SerialPortMap> portMap = nullptr);
  ~TForm1() override;

  // The other windows exist only after this one; they are handed over once created.
  void attachWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5, TForm6* form6);

  // What a click on section label `section` (1..9) does.
  void selectSection(int section);
  int currentSection() const { return currentSection_; }
  // Brings a page forward without making its section the current one.
  void showPage(int page);
  // Shows the file, server-command and engineering buttons and the summary entry.
  void revealServiceEntries();

  DialogService& dialogs() const { return dialogs_; }
  QStackedWidget* pageControl() const { return pages_; }
  SectionColumn* sectionColumn() const { return sections_; }
  CommandBar* commandBar() const { return commands_; }
  PortPanel* portPanel() const { return ports_; }
  SummaryPage* summaryPage() const { return summary_; }
  TForm2* form2() const { return form2_; }
  TForm3* form3() const { return form3_; }
  TForm4* form4() const { return form4_; }
  TForm5* form5() const;
  TForm6* form6() const { return form6_; }

  // Stretches the help texts to the width of their memos.
  void justifyHelpTexts();

  // Points the window at a simulated beacon on `port` and says so in the title.
  void enterDemoMode(const QString& port);
  bool inDemoMode() const { return !demoPort_.isEmpty(); }
  // Ends running operations at once and waits for their threads; the
  // program calls it once its event loop is over.
  void stopOperations();

  // How every operation's result reaches the user; when the beacon was not reached the port
  // panel also says why.
  void showOperationResult(int resultCode, const QString& text);

  // Esc: ends a settings read, asks before ending a firmware update; a settings write always
  // runs to its end.
  void stopRunningOperation();
  // F1: the keyboard focus goes to the current page's help text, to the next one on each press.
  void focusHelpText();

  DeviceSession& session() const { return *session_; }
  SettingsCommands& settingsCommands() const { return *settings_; }
  FirmwareCommands& firmwareCommands() const { return *firmware_; }

 signals:
  // The window was closed; the program ends with it.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildPages();
  void connectCommands();
  void installShortcuts();
  void setTabChain();
  // The beacon's firmware or its GNSS module's is being replaced.
  bool updateRunning() const;
  // "Прервать обновление?"; true when the user says yes.
  bool confirmUpdateAbort();
  void publishPortChoice();
  void showConnectProblem();
  void openCommandWindow();
  void openEngineeringAccess();

  DialogService& dialogs_;
  std::unique_ptr<DeviceSession> session_;
  std::unique_ptr<SettingsCommands> settings_;
  std::unique_ptr<FirmwareCommands> firmware_;
  QString demoPort_;
  HeaderPanel* header_ = nullptr;
  SectionColumn* sections_ = nullptr;
  CommandBar* commands_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  PortPanel* ports_ = nullptr;
  SummaryPage* summary_ = nullptr;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  TForm4* form4_ = nullptr;
  QPointer<TForm5> form5_;  // made after this window and gone before it
  TForm6* form6_ = nullptr;
  int currentSection_ = 1;
  bool centred_ = false;
  bool closeAfterWrite_ = false;  // the window was closed during a settings write
};

}  // namespace orsa::app
