#include "bridge/qt/qt_event_loop.h"

#include <gtest/gtest.h>

#include <QMetaObject>
#include <QTimer>
#include <chrono>

namespace vantorel::bridge {
namespace {

using namespace std::chrono_literals;

TEST(QtEventLoop, AWaitRunsOtherEventsAndLastsTheFullTime) {
  QtEventLoop loop;
  QObject context;
  bool posted = false;
  bool timed = false;
  QMetaObject::invokeMethod(
      &context, [&] { posted = true; }, Qt::QueuedConnection);
  QTimer::singleShot(5ms, &context, [&] { timed = true; });
  const auto start = std::chrono::steady_clock::now();
  loop.Wait(20ms);
  EXPECT_TRUE(posted);
  EXPECT_TRUE(timed);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
  EXPECT_GE(loop.Now(), start + 20ms);
}

TEST(QtEventLoop, AWaitInsideAWaitDelaysButNeverShortensTheOuterOne) {
  QtEventLoop loop;
  QObject context;
  bool innerDone = false;
  QTimer::singleShot(1ms, &context, [&] {
    loop.Wait(25ms);
    innerDone = true;
  });
  const auto start = std::chrono::steady_clock::now();
  loop.Wait(10ms);
  EXPECT_TRUE(innerDone);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 10ms);
}

TEST(QtEventLoop, DoEventsRunsWhatIsPending) {
  QtEventLoop loop;
  QObject context;
  bool ran = false;
  QMetaObject::invokeMethod(
      &context, [&] { ran = true; }, Qt::QueuedConnection);
  loop.DoEvents();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace vantorel::bridge
