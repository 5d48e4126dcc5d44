#pragma once

#include "DeviceSession.h"
#include "PageBinding.h"
#include "ScriptedDialogService.h"
#include "SettingsCommands.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm6.h"
#include "settings/SlotId.h"
#include "sim/SimulatedBeacon.h"
#include "support/BeaconFigures.h"
#include "support/Frames.h"
#include "support/Checked.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace orsa::app::test {

// A main window talking to a simulated beacon through the manual port choice,
// with its progress and reply windows attached and dialogs scripted.
class BeaconFixture : public ::testing::Test {
 protected:
  BeaconFixture() {
    form.attachWindows(nullptr, &form3, nullptr, nullptr, &form6);
    form.enterDemoMode(QString::fromStdString(beacon.portPath()));
    // An owner's phone keeps the collection from asking about it.
    find<QLineEdit>("Edit1")->setText(QStringLiteral("+79160000000"));
  }

  // The beacon's address of a slot, as its protocol fixes it.
  static std::uint32_t parameterOf(settings::SlotId slot) {
    return orsa::testing::figures::kSlotParameters[settings::indexOf(slot)];
  }
  std::string beaconText(settings::SlotId slot) const {
    const auto cell = beacon.settingsCell(parameterOf(slot));
    return std::string(reinterpret_cast<const char*>(cell.data()));
  }
  void setBeaconText(settings::SlotId slot, const std::string& text) {
    beacon.setSettingsCell(parameterOf(slot), text);
  }

  template <class T>
  T* find(const char* name) {
    return orsa::testing::present(form.findChild<T*>(QString::fromLatin1(name)), name);
  }
  settings::SettingsPage pages() { return PageBinding(form).read(); }

  // Clicks a command button and waits for the exchange it starts to end.
  void runExchange(const char* button) {
    QSignalSpy finished(&form.settingsCommands(), &SettingsCommands::exchangeFinished);
    QTest::mouseClick(find<QWidget>(button), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(20000)) << button << " did not finish";
  }

  std::size_t framesOfType(std::uint8_t type) const { return orsa::testing::framesOfType(beacon.trace(), type); }

  // Waits for `count` frames with the window's events running, so the operation that sends them
  // is not held up by the window.
  bool framesArrive(std::size_t count, int timeoutMs = 10000) const {
    return QTest::qWaitFor([&] { return beacon.trace().size() >= count; }, timeoutMs);
  }

  sim::SimulatedBeacon beacon;  // first in, last out: the window talks to it to the end
  ScriptedDialogService dialogs;
  TForm1 form{dialogs};
  TForm3 form3{&form};
  TForm6 form6;
};

}  // namespace orsa::app::test
