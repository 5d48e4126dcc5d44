#include "CommandBar.h"
#include "ConfiguratorWindows.h"
#include "DeviceSession.h"
#include "ExitLabel.h"
#include "HeaderPanel.h"
#include "PictureButton.h"
#include "PortPanel.h"
#include "ScriptedDialogService.h"
#include "SectionLabel.h"
#include "TForm1.h"
#include "UiColors.h"
#include "support/Checked.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QFontInfo>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace orsa::app {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  SectionLabel* label(int n) {
    return orsa::testing::present(form.findChild<SectionLabel*>(QStringLiteral("Label%1").arg(n)),
                                  "Label" + std::to_string(n));
  }
  PictureButton* button(const char* name) {
    return orsa::testing::present(form.findChild<PictureButton*>(QString::fromLatin1(name)), name);
  }
  static QColor text(const QWidget* w) { return w->palette().color(QPalette::WindowText); }
  static QColor back(const QWidget* w) { return w->palette().color(QPalette::Window); }
  static void enter(QWidget* w) {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(w, &event);
  }
  static void leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
  }
  void expectOnlySelected(int selected) {
    for (int n = 1; n <= 8; ++n) {
      SCOPED_TRACE(n);
      if (n == selected) {
        EXPECT_EQ(text(label(n)), colors::nearWhite());
        EXPECT_EQ(back(label(n)), colors::steelBlue());
      } else {
        EXPECT_EQ(text(label(n)), colors::steelBlue());
        EXPECT_EQ(back(label(n)), colors::nearWhite());
      }
    }
  }

  test::ScriptedDialogService dialogs;
  TForm1 form{dialogs};
};

TEST_F(MainWindowTest, StartsOnTheFirstSectionWithTheShellColours) {
  EXPECT_EQ(form.size(), QSize(748, 576));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Конфигуратор"));
  EXPECT_EQ(form.currentSection(), 1);
  EXPECT_EQ(form.pageControl()->currentIndex(), 0);
  EXPECT_EQ(form.pageControl()->count(), 9);
  expectOnlySelected(1);
  EXPECT_EQ(form.palette().color(QPalette::Window), colors::formWhite());

  const QStringList captions = {
      QStringLiteral("ТЕЛЕФОН ВЛАДЕЛЬЦА\nИ PIN-код"),
      QStringLiteral("ОСНОВНЫЕ\nНАСТРОЙКИ"),
      QStringLiteral("ЧАСТОТА ВЫХОДА\nНА СВЯЗЬ"),
      QStringLiteral("ОХРАНА ПО ДАТЧИКУ\nДВИЖЕНИЯ"),
      QStringLiteral("ДОПОЛНИТЕЛЬНЫЕ НАСТРОЙКИ\nДАТЧИКА ДВИЖЕНИЯ"),
      QStringLiteral("КОНТРОЛЬ ВЫХОДА\n ИЗ ЗОНЫ ОХРАНЫ"),
      QStringLiteral("КОНТРОЛЬ ЛИЦЕВОГО\nСЧЕТА"),
      QStringLiteral("ОБНОВЛЕНИЕ ПРОГРАММНОГО\nОБЕСПЕЧЕНИЯ"),
  };
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(label(n)->text(), captions[n - 1]);
    EXPECT_TRUE(label(n)->isEnabled());
  }
  EXPECT_TRUE(label(9)->text().isEmpty());
  EXPECT_FALSE(label(9)->isEnabled());
}

TEST_F(MainWindowTest, CommandButtonsCarryTheirTipsAndOnlyTheEverydayOnesShow) {
  const struct {
    const char* name;
    QString tip;
    bool shown;
  } expected[] = {
      {"SpeedButton3", QStringLiteral("Записать настройки в устройство (Ctrl+W)"), true},
      {"SpeedButton4", QStringLiteral("Прочитать настройки из устройства (Ctrl+R)"), true},
      {"SpeedButton5", QStringLiteral("Восстановить значения по умолчанию"), true},
      {"SpeedButton1", QStringLiteral("Загрузить настройки из файла (Ctrl+O)"), false},
      {"SpeedButton2", QStringLiteral("Сохранить настройки в файл (Ctrl+S)"), false},
      {"SpeedButton7", QStringLiteral("Создать команду WIALON"), false},
      {"SpeedButton8", QString(), false},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    PictureButton* b = button(e.name);
    EXPECT_EQ(b->toolTip(), e.tip);
    EXPECT_EQ(b->isHidden(), !e.shown);
    EXPECT_EQ(b->size(), QSize(46, 46));
    EXPECT_FALSE(b->icon().isNull());
  }
  EXPECT_TRUE(form.findChild<ExitLabel*>()->isHidden());
}

TEST_F(MainWindowTest, ClickingASectionSelectsItAndShowsItsPage) {
  QTest::mouseClick(label(2), Qt::LeftButton);
  EXPECT_EQ(form.currentSection(), 2);
  EXPECT_EQ(form.pageControl()->currentIndex(), 1);
  expectOnlySelected(2);

  QTest::mouseClick(label(2), Qt::LeftButton);
  EXPECT_EQ(form.pageControl()->currentIndex(), 1);
  expectOnlySelected(2);

  for (int n = 1; n <= 8; ++n) {
    QTest::mouseClick(label(n), Qt::LeftButton);
    EXPECT_EQ(form.pageControl()->currentIndex(), n - 1);
    EXPECT_EQ(form.currentSection(), n);
  }
  QTest::mouseClick(label(5), Qt::RightButton);
  EXPECT_EQ(form.currentSection(), 8);
}

TEST_F(MainWindowTest, TheBlankNinthStripIgnoresTheMouse) {
  QTest::mouseClick(label(9), Qt::LeftButton);
  EXPECT_EQ(form.currentSection(), 1);
  EXPECT_EQ(form.pageControl()->currentIndex(), 0);
  enter(label(9));
  EXPECT_FALSE(label(9)->font().underline());
}

TEST_F(MainWindowTest, HoverUnderlinesAndLeavingKeepsBold) {
  for (int n : {1, 3}) {  // selected and not selected
    SCOPED_TRACE(n);
    enter(label(n));
    EXPECT_TRUE(label(n)->font().underline());
    EXPECT_TRUE(label(n)->font().bold());
    leave(label(n));
    EXPECT_FALSE(label(n)->font().underline());
    EXPECT_TRUE(label(n)->font().bold());
  }
  // Hover changes no colours.
  expectOnlySelected(1);
}

TEST_F(MainWindowTest, SectionLabelsUseAnInstalledArialSubstitute) {
  const QFontInfo info(label(1)->font());
  EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(info.pixelSize(), 11);
  EXPECT_TRUE(info.bold());
}

TEST_F(MainWindowTest, ServiceEntriesAppearOnTheShortcut) {
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton7", "SpeedButton8"}) {
    EXPECT_FALSE(button(name)->isHidden()) << name;
  }
  EXPECT_EQ(label(9)->text(), QStringLiteral("ТЕКУЩИЕ\nНАСТРОЙКИ"));
  ASSERT_TRUE(label(9)->isEnabled());
  QTest::mouseClick(label(9), Qt::LeftButton);
  EXPECT_EQ(form.pageControl()->currentIndex(), 8);
  expectOnlySelected(9);
}

TEST_F(MainWindowTest, HeaderMovesTheWindowWithTheLeftButtonOnly) {
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QWidget* header = form.findChild<QWidget*>(QStringLiteral("Panel1"));
  ASSERT_NE(header, nullptr);
  const QPoint grab(300, 10);

  auto drag = [&](Qt::MouseButton b, QPoint by) {
    const QPoint start = header->mapToGlobal(grab);
    QMouseEvent press(QEvent::MouseButtonPress, grab, start, b, b, Qt::NoModifier);
    QApplication::sendEvent(header, &press);
    QMouseEvent move(QEvent::MouseMove, grab + by, start + by, Qt::NoButton, b, Qt::NoModifier);
    QApplication::sendEvent(header, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, grab + by, start + by, b, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(header, &release);
  };

  const QPoint before = form.pos();
  drag(Qt::RightButton, {40, 25});
  EXPECT_EQ(form.pos(), before);
  drag(Qt::LeftButton, {40, 25});
  EXPECT_EQ(form.pos(), before + QPoint(40, 25));
}

TEST_F(MainWindowTest, HeaderHandsTheMoveToTheSystemOnlyOnceTheMouseTravels) {
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto* header = form.findChild<HeaderPanel*>(QStringLiteral("Panel1"));
  ASSERT_NE(header, nullptr);
  int systemMoves = 0;
  header->setSystemMove([&](QWindow* window) {
    EXPECT_EQ(window, form.windowHandle());
    ++systemMoves;
    return true;
  });
  const QPoint grab(300, 10);
  const QPoint at = header->mapToGlobal(grab);
  auto send = [&](QEvent::Type type, QPoint by, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, grab + by, at + by, button, held, Qt::NoModifier);
    QApplication::sendEvent(header, &event);
  };

  // A click delivered in one go: the window manager would get a move whose button is already up.
  send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(systemMoves, 0);

  const QPoint before = form.pos();
  send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {3, 2}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseMove, {30, 20}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {30, 20}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(systemMoves, 1);
  EXPECT_EQ(form.pos(), before) << "the window manager moves it, not the header as well";
}

TEST_F(MainWindowTest, ExitLabelTurnsRedUnderTheMouseAndClosesTheWindow) {
  ExitLabel* exit = form.findChild<ExitLabel*>();
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->text(), QStringLiteral("ВЫХОД"));
  EXPECT_EQ(text(exit), colors::headerGrey());
  enter(exit);
  EXPECT_EQ(text(exit), colors::hoverRed());
  leave(exit);
  EXPECT_EQ(text(exit), colors::headerGrey());

  form.show();
  exit->show();
  QSignalSpy closed(&form, &TForm1::closed);
  QTest::mouseClick(exit, Qt::LeftButton);
  EXPECT_EQ(closed.count(), 1);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindowTest, WorkersSeeThePortChoiceAsThePanelShowsIt) {
  EXPECT_TRUE(form.portPanel()->autoCheckBox()->isChecked());
  EXPECT_TRUE(form.session().host.portChoice().automatic);

  QTest::mouseClick(form.portPanel()->autoCheckBox(), Qt::LeftButton);
  QLineEdit* typed = form.portPanel()->portList()->lineEdit();
  typed->clear();
  QTest::keyClicks(typed, QStringLiteral("/dev/ttyUSB9"));
  const link::PortChoice choice = form.session().host.portChoice();
  EXPECT_FALSE(choice.automatic);
  EXPECT_EQ(choice.manualName, "/dev/ttyUSB9");
}

TEST(ProgressWindow, IsAToolWindowOfTheMainWindowCentredOnIt) {
  test::ScriptedDialogService dialogs;
  ConfiguratorWindows windows(dialogs);
  windows.form1.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows.form1));
  windows.form1.move(windows.form1.pos() + QPoint(37, -21));

  TForm3& progress = windows.form3;
  progress.showWithCaption(QStringLiteral("Чтение настроек..."));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
  EXPECT_EQ(progress.windowTitle(), QStringLiteral("Чтение настроек..."));
  EXPECT_EQ(progress.windowType(), Qt::Tool);
  // Owned by the main window, so window managers keep it above that window.
  EXPECT_EQ(progress.parentWidget(), &windows.form1);
  ASSERT_NE(progress.windowHandle(), nullptr);
  EXPECT_EQ(progress.windowHandle()->transientParent(), windows.form1.windowHandle());
  EXPECT_EQ(progress.frameGeometry().center(), windows.form1.frameGeometry().center());
  progress.hide();
}

}  // namespace
}  // namespace orsa::app
