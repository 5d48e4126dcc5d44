#include "ConfiguratorApplication.h"
#include "QtWorkerHost.h"
#include "ScriptedDialogService.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <stop_token>

namespace orsa::app {
namespace {

using namespace std::chrono_literals;

TEST(QtWorkerHostTest, RunsAWorkersCallOnTheWindowThreadAndWaitsForIt) {
  QtWorkerHost host;
  QThread* ranOn = nullptr;
  std::atomic<bool> returned{false};
  int value = 0;
  auto worker = std::async(std::launch::async, [&] {
    host.synchronize([&] {
      ranOn = QThread::currentThread();
      value = 42;
    });
    // The call has finished by the time synchronize returns.
    EXPECT_EQ(value, 42);
    returned = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
  worker.get();
  EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
}

TEST(QtWorkerHostTest, CallsFromTheWindowThreadRunAtOnce) {
  QtWorkerHost host;
  bool ran = false;
  host.synchronize([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST(QtWorkerHostTest, ShutdownReleasesAWaitingWorkerAndDropsItsCall) {
  QtWorkerHost host;
  std::atomic<bool> ran{false};
  std::promise<void> posted;
  auto worker = std::async(std::launch::async, [&] {
    posted.set_value();
    host.synchronize([&] { ran = true; });
  });
  posted.get_future().wait();
  // The window thread is busy elsewhere (closing); it never gets to the call.
  host.shutdown();
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready);
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran.load());

  // Later calls return without running.
  auto late = std::async(std::launch::async, [&] { host.synchronize([&] { ran = true; }); });
  ASSERT_EQ(late.wait_for(5s), std::future_status::ready);
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran.load());
}

// The window thread stops a worker and joins it while the worker waits for that same thread:
// the pending call must be let go, or the join never returns.
TEST(QtWorkerHostTest, AStopReleasesAWorkerWaitingForTheWindowThreadAndDropsItsCall) {
  QtWorkerHost host;
  std::atomic<bool> ran{false};
  std::stop_source stop;
  std::promise<void> posted;
  auto worker = std::async(std::launch::async, [&] {
    posted.set_value();
    host.synchronize([&] { ran = true; }, stop.get_token());
  });
  posted.get_future().wait();
  stop.request_stop();
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready);
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran.load()) << "a call abandoned by a stop never runs, even once the window thread is free";

  bool ranUnstopped = false;
  auto unstopped = std::async(std::launch::async, [&] {
    std::stop_source fresh;
    host.synchronize([&] { ranUnstopped = true; }, fresh.get_token());
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return unstopped.wait_for(0s) == std::future_status::ready; }, 5000));
  EXPECT_TRUE(ranUnstopped);
}

TEST(QtWorkerHostTest, ACallAlreadyRunningIsWaitedForEvenWhenTheHostShutsDown) {
  QtWorkerHost host;
  std::atomic<bool> finishedCall{false};
  std::atomic<bool> returned{false};
  auto worker = std::async(std::launch::async, [&] {
    host.synchronize([&] {
      host.shutdown();  // e.g. the window closed from inside a message box
      finishedCall = true;
    });
    returned = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
  worker.get();
  EXPECT_TRUE(finishedCall.load());
}

TEST(QtWorkerHostTest, ACallThatThrowsReleasesTheWorkerAndTheErrorIsShown) {
  auto* app = qobject_cast<ConfiguratorApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  test::ScriptedDialogService dialogs;
  DialogService* const before = app->errorDialogs();
  app->setErrorDialogs(&dialogs);
  QtWorkerHost host;
  std::atomic<bool> returned{false};
  auto worker = std::async(std::launch::async, [&] {
    host.synchronize([] { throw std::logic_error("settings control missing: Edit1"); });
    returned = true;
  });
  const bool released = QTest::qWaitFor([&] { return returned.load(); }, 5000);
  app->setErrorDialogs(before);
  // Without the release the worker waits for good, and so does this test when it ends.
  ASSERT_TRUE(released) << "the worker still waits for a call that threw";
  worker.get();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("settings control missing: Edit1"));
}

TEST(QtWorkerHostTest, HandsOutThePortChoiceOfTheMoment) {
  QtWorkerHost host;
  EXPECT_TRUE(host.portChoice().automatic);
  host.setPortChoice({false, "/dev/ttyACM3"});
  auto seen = std::async(std::launch::async, [&] { return host.portChoice(); }).get();
  EXPECT_FALSE(seen.automatic);
  EXPECT_EQ(seen.manualName, "/dev/ttyACM3");
}

}  // namespace
}  // namespace orsa::app
