#include "TForm1.h"

#include "BalancePage.h"
#include "CommandBar.h"
#include "ContactPage.h"
#include "ExitLabel.h"
#include "FirmwarePage.h"
#include "HeaderPanel.h"
#include "HelpMemo.h"
#include "MainSettingsPage.h"
#include "MotionModePage.h"
#include "MotionSensorPage.h"
#include "PhonePage.h"
#include "PictureButton.h"
#include "PortPanel.h"
#include "SectionColumn.h"
#include "SummaryPage.h"
#include "TForm2.h"
#include "TForm4.h"
#include "UiColors.h"
#include "UiFonts.h"
#include "ZonePage.h"

#include <QCloseEvent>
#include <QLineEdit>
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

TForm1::TForm1(DialogService& dialogs)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Конфигуратор"));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(fonts::msSansSerif(11));
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
  connect(commands_->serviceButton(), &PictureButton::clicked, this,
          &TForm1::openEngineeringAccess);
  auto* serviceShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")), this);
  connect(serviceShortcut, &QShortcut::activated, this, &TForm1::revealServiceEntries);

  // Set-up as the window comes up: first page, captions, looks, help texts.
  pages_->setCurrentIndex(0);
  sections_->setCaptions();
  sections_->select(1);
  justifyHelpTexts();
}

TForm1::~TForm1() = default;

void TForm1::buildPages() {
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(233, 77, 516, 500);
  paintWhite(pages_);
  const QList<QWidget*> pages = {
      new PhonePage(pages_),      new MainSettingsPage(pages_), new ContactPage(pages_),
      new MotionModePage(pages_), new MotionSensorPage(pages_), new ZonePage(pages_),
      new BalancePage(pages_),    new FirmwarePage(pages_),
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

void TForm1::attachWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5,
                           TForm6* form6) {
  form2_ = form2;
  form3_ = form3;
  form4_ = form4;
  form5_ = form5;
  form6_ = form6;
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
    form2_->show();
    form2_->raise();
  }
}

void TForm1::openEngineeringAccess() {
  if (form4_ == nullptr) {
    return;
  }
  form4_->show();
  form4_->raise();
  if (auto* password = form4_->findChild<QLineEdit*>(QStringLiteral("MaskEdit1"))) {
    password->setFocus();
    password->clear();
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
  event->accept();
  emit closed();
}

}  // namespace orsa::app
