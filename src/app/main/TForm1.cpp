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
#include "SettingsCommands.h"
#include "SummaryPage.h"
#include "TForm2.h"
#include "TForm4.h"
#include "TForm5.h"
#include "UiColors.h"
#include "ZonePage.h"
#include "link/SerialPortMap.h"
#include "link/Worker.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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

  buildPages();
  commands_ = new CommandBar(this);
  sections_ = new SectionColumn(this);
  ports_ = new PortPanel(this);
  header_ = new HeaderPanel(this);

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
  ports_->refill();
  publishPortChoice();
  settings_->restoreDefaults();
}

TForm1::~TForm1() { stopOperations(); }

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
}

void TForm1::publishPortChoice() {
  session_->host.setPortChoice({ports_->automatic(), ports_->portText().toStdString()});
}

void TForm1::showConnectProblem() { ports_->setConnectProblem(QString::fromStdString(session_->channel.lastError())); }

void TForm1::showOperationResult(int resultCode, const QString& text) {
  if (text == QString::fromUtf8(link::kNotConnectedMessage)) {
    // Read while the operation that failed to connect still waits for this box.
    showConnectProblem();
  }
  showResultBox(dialogs_, resultCode, text);
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
  session_->host.shutdown();
  settings_->join();
  firmware_->join();
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
  if (form4_ != nullptr && form5_ != nullptr) {
    connect(form4_, &TForm4::codeAccepted, form5_, &TForm5::present, Qt::UniqueConnection);
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
  // Nothing is waited for here: running operations are told to stop and any
  // worker blocked on a window call is let go; their threads are joined once
  // the event loop is over.
  settings_->requestStop();
  firmware_->requestStop();
  session_->host.shutdown();
  event->accept();
  emit closed();
}

}  // namespace orsa::app
