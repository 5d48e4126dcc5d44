#include "TForm1.h"

#include "BalancePage.h"
#include "CommandBar.h"
#include "ContactPage.h"
#include "DeviceSession.h"
#include "ExitLabel.h"
#include "FirmwareCommands.h"
#include "FirmwarePage.h"
#include "HeaderPanel.h"
#include "HelpMemo.h"
#include "MainSettingsPage.h"
#include "MotionModePage.h"
#include "MotionSensorPage.h"
#include "PhonePage.h"
#include "PictureButton.h"
#include "PortPanel.h"
#include "ResultBox.h"
#include "SectionColumn.h"
#include "SectionLabel.h"
#include "SettingsCommands.h"
#include "SummaryPage.h"
#include "TForm2.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "UiColors.h"
#include "ZonePage.h"
#include "GnssCommands.h"
#include "link/SerialPortMap.h"
#include "link/Worker.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>

namespace orsa::app {
namespace {

// The help texts that are stretched to full width at start.
const QStringList& justifiedMemos() {
  static const QStringList names = {
      QStringLiteral("Memo1"),  QStringLiteral("Memo2"),  QStringLiteral("Memo6"),
      QStringLiteral("Memo7"),  QStringLiteral("Memo14"), QStringLiteral("Memo17"),
      QStringLiteral("Memo20"), QStringLiteral("Memo22"), QStringLiteral("Memo24"),
  };
  return names;
}

// The keys of a command, named after its tool tip: "Прочитать настройки из устройства (Ctrl+R)".
QString withKeys(const QString& tip, const QKeySequence& keys) {
  const QString named = keys.toString(QKeySequence::PortableText);
  return tip.isEmpty() ? named : QStringLiteral("%1 (%2)").arg(tip, named);
}

// `keys` press `button` wherever the focus is in the window, whether the button is shown or not.
void bindKeys(QWidget* window, QAbstractButton* button, const QKeySequence& keys) {
  auto* shortcut = new QShortcut(keys, window);
  QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
  button->setToolTip(withKeys(button->toolTip(), keys));
}

void paintWhite(QWidget* widget) {
  widget->setAutoFillBackground(true);
  QPalette pal = widget->palette();
  pal.setColor(QPalette::Window, colors::formWhite());
  widget->setPalette(pal);
}

}  // namespace

TForm1::TForm1(DialogService& dialogs, std::unique_ptr<link::SerialPortMap> portMap)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs),
      session_(std::make_unique<DeviceSession>(std::move(portMap))) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Конфигуратор"));
  setFixedSize(kClientWidth, kClientHeight);
  // Every page, group and memo of the window sits on white.
  QPalette pal = palette();
  pal.setColor(QPalette::Window, colors::formWhite());
  pal.setColor(QPalette::Base, colors::formWhite());
  setPalette(pal);
  setAutoFillBackground(true);

  // Made in the order Tab visits them: commands, sections, the page, the port panel. The command
  // bar lies over the page area's top and is raised above it.
  commands_ = new CommandBar(this);
  sections_ = new SectionColumn(this);
  buildPages();
  ports_ = new PortPanel(this);
  header_ = new HeaderPanel(this);
  commands_->raise();

  connect(sections_, &SectionColumn::sectionClicked, this, &TForm1::selectSection);
  connect(header_->exitLabel(), &ExitLabel::clicked, this, &QWidget::close);
  connect(commands_->commandButton(), &PictureButton::clicked, this, &TForm1::openCommandWindow);
  connect(commands_->serviceButton(), &PictureButton::clicked, this, &TForm1::openEngineeringAccess);
  auto* serviceShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")), this);
  connect(serviceShortcut, &QShortcut::activated, this, &TForm1::revealServiceEntries);
  settings_ = std::make_unique<SettingsCommands>(*this, *session_, dialogs_);
  firmware_ = std::make_unique<FirmwareCommands>(*this, *session_, dialogs_);
  connectCommands();

  // Set-up as the window comes up: first page, captions, looks, help texts,
  // the port list, and the factory settings on the pages.
  pages_->setCurrentIndex(0);
  sections_->setCaptions();
  sections_->select(1);
  justifyHelpTexts();
  ports_->setPortLister([this] {
    QStringList ports = session_->openablePorts();
    if (!demoPort_.isEmpty()) {
      ports.prepend(demoPort_);
    }
    return ports;
  });
  ports_->setAutomaticPortFinder([this] { return session_->automaticPort(); });
  ports_->refill();
  publishPortChoice();
  settings_->restoreDefaults();
  installShortcuts();
}

TForm1::~TForm1() { stopOperations(); }

TForm5* TForm1::form5() const { return form5_.data(); }

void TForm1::connectCommands() {
  connect(commands_->readButton(), &PictureButton::clicked, settings_.get(), &SettingsCommands::read);
  connect(commands_->writeButton(), &PictureButton::clicked, settings_.get(), &SettingsCommands::write);
  connect(commands_->defaultsButton(), &PictureButton::clicked, settings_.get(), &SettingsCommands::restoreDefaults);
  connect(commands_->loadButton(), &PictureButton::clicked, settings_.get(), &SettingsCommands::load);
  connect(commands_->saveButton(), &PictureButton::clicked, settings_.get(), &SettingsCommands::save);
  if (auto* update = findChild<PictureButton*>(QStringLiteral("SpeedButton6"))) {
    connect(update, &PictureButton::clicked, firmware_.get(), &FirmwareCommands::update);
  }
  // Workers read the port choice from their own threads; they get a copy
  // that follows the controls.
  connect(ports_->autoCheckBox(), &QCheckBox::toggled, this, &TForm1::publishPortChoice);
  connect(ports_->portList(), &QComboBox::currentTextChanged, this, &TForm1::publishPortChoice);
  connect(ports_->portList(), &QComboBox::editTextChanged, this, &TForm1::publishPortChoice);
  // Every operation opens the port first; once it is over the panel follows what that open said,
  // so a reason stays only until a connect succeeds.
  connect(settings_.get(), &SettingsCommands::exchangeFinished, this, &TForm1::showConnectProblem);
  connect(firmware_.get(), &FirmwareCommands::updateFinished, this, &TForm1::showConnectProblem);
  // A close that came during a settings write happens once the write is done.
  connect(settings_.get(), &SettingsCommands::exchangeFinished, this, [this] {
    if (closeAfterWrite_) close();
  });
}

void TForm1::installShortcuts() {
  bindKeys(this, commands_->readButton(), QKeySequence(Qt::CTRL | Qt::Key_R));
  bindKeys(this, commands_->writeButton(), QKeySequence(Qt::CTRL | Qt::Key_W));
  bindKeys(this, commands_->loadButton(), QKeySequence(Qt::CTRL | Qt::Key_O));
  bindKeys(this, commands_->saveButton(), QKeySequence(Qt::CTRL | Qt::Key_S));
  for (int section = 1; section < SectionColumn::kSections; ++section) {
    const QKeySequence keys(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + section));
    SectionLabel* label = sections_->label(section);
    label->setToolTip(withKeys(label->text().simplified(), keys));
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, section] {
      selectSection(section);
      sections_->label(section)->setFocus(Qt::ShortcutFocusReason);
    });
  }
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, &TForm1::focusHelpText);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &TForm1::stopRunningOperation);
}

void TForm1::focusHelpText() {
  const QList<HelpMemo*> memos = pages_->currentWidget()->findChildren<HelpMemo*>();
  if (memos.isEmpty()) return;
  const qsizetype current = memos.indexOf(qobject_cast<HelpMemo*>(focusWidget()));
  HelpMemo* next = memos.at((current + 1) % memos.size());
  next->setFocus(Qt::ShortcutFocusReason);
}

bool TForm1::updateRunning() const { return firmware_->busy() || (form5_ && form5_->gnss().flashRunning()); }

bool TForm1::confirmUpdateAbort() {
  DialogService::Box question{QStringLiteral("Прервать обновление? Маяк останется без рабочей прошивки"),
                              QStringLiteral("Конфигуратор"), DialogService::Icon::Warning,
                              DialogService::Buttons::YesNo};
  question.preferred = DialogService::Answer::No;
  return dialogs_.show(question) == DialogService::Answer::Yes;
}

void TForm1::stopRunningOperation() {
  if (settings_->reading()) {
    settings_->requestStop();
  } else if (firmware_->busy() && confirmUpdateAbort()) {
    firmware_->requestStop();
  }
}

void TForm1::publishPortChoice() {
  session_->host.setPortChoice({ports_->automatic(), ports_->portText().toStdString()});
}

void TForm1::showConnectProblem() { ports_->setConnectProblem(QString::fromStdString(session_->channel.lastError())); }

void TForm1::showOperationResult(int resultCode, const QString& text) {
  // Both are read while the operation still waits for this box, before it closes the channel.
  QString reason;
  if (text == QString::fromUtf8(link::kNotConnectedMessage)) {
    showConnectProblem();
    reason = ports_->connectProblem();
  } else if (resultCode == link::kResultFailure && session_->channel.lineLost()) {
    reason = QStringLiteral("маяк отключён во время операции — подключите его и повторите");
  }
  showResultBox(dialogs_, resultCode, text, reason);
}

void TForm1::enterDemoMode(const QString& port) {
  demoPort_ = port;
  setWindowTitle(QStringLiteral("Конфигуратор — демонстрация (имитатор маяка)"));
  ports_->setAutomatic(false);
  ports_->refill();
  ports_->setPortText(port);
  publishPortChoice();
}

void TForm1::stopOperations() {
  settings_->requestStop();
  firmware_->requestStop();
  if (form5_) form5_->gnss().requestStop();
  session_->host.shutdown();
  settings_->join();
  firmware_->join();
  if (form5_) form5_->gnss().join();
  session_->channel.close();
}

void TForm1::showPage(int page) { pages_->setCurrentIndex(page); }

void TForm1::buildPages() {
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(233, 77, 516, 500);
  paintWhite(pages_);
  const QList<QWidget*> pages = {
      new PhonePage(pages_),        new MainSettingsPage(pages_), new ContactPage(pages_), new MotionModePage(pages_),
      new MotionSensorPage(pages_), new ZonePage(pages_),         new BalancePage(pages_), new FirmwarePage(pages_),
  };
  for (QWidget* page : pages) {
    pages_->addWidget(page);
  }
  summary_ = new SummaryPage(pages_);
  pages_->addWidget(summary_);
  for (int i = 0; i < pages_->count(); ++i) {
    pages_->widget(i)->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    paintWhite(pages_->widget(i));
  }
}

void TForm1::attachWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5, TForm6* form6) {
  form2_ = form2;
  form3_ = form3;
  form4_ = form4;
  form5_ = form5;
  form6_ = form6;
  if (form3_ != nullptr) {
    connect(form3_, &TForm3::stopRequested, this, &TForm1::stopRunningOperation, Qt::UniqueConnection);
  }
  if (form4_ != nullptr && form5_) {
    connect(form4_, &TForm4::codeAccepted, form5_.data(), &TForm5::present, Qt::UniqueConnection);
  }
}

void TForm1::selectSection(int section) {
  if (section < 1 || section > SectionColumn::kSections) {
    return;
  }
  currentSection_ = section;
  sections_->select(section);
  pages_->setCurrentIndex(section - 1);
}

void TForm1::revealServiceEntries() {
  commands_->revealServiceEntries();
  sections_->revealSummaryEntry();
}

void TForm1::justifyHelpTexts() {
  for (const QString& name : justifiedMemos()) {
    if (auto* memo = findChild<HelpMemo*>(name)) {
      memo->justify();
    }
  }
}

void TForm1::openCommandWindow() {
  if (form2_ != nullptr) {
    form2_->open();
  }
}

void TForm1::openEngineeringAccess() {
  if (form4_ != nullptr) {
    form4_->open();
  }
}

void TForm1::showEvent(QShowEvent* event) {
  if (!centred_) {
    centred_ = true;
    if (const QScreen* s = screen()) {
      const QRect area = s->availableGeometry();
      move(area.center() - QPoint(width() / 2, height() / 2));
    }
  }
  QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A half-replaced firmware leaves the beacon unable to start: only the user may decide that.
  if (updateRunning() && !confirmUpdateAbort()) {
    event->ignore();
    return;
  }
  // A half-written beacon holds a mix of old and new settings: the write goes on to its end and
  // the window closes after it.
  if (settings_->writing()) {
    closeAfterWrite_ = true;
    event->ignore();
    return;
  }
  // Nothing is waited for here: running operations are told to stop and any
  // worker blocked on a window call is let go; their threads are joined once
  // the event loop is over.
  settings_->requestStop();
  firmware_->requestStop();
  if (form5_) form5_->gnss().requestStop();
  session_->host.shutdown();
  event->accept();
  emit closed();
}

}  // namespace orsa::app
