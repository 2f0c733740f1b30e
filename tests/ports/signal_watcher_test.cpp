// The stop-signal watcher with real signals raised in this process: each
// arrives on the event loop, in order, and the earlier handling is back once
// the watcher is gone.
#include "ports/signal_watcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <vector>

#include "ports/qt_event_loop.h"
#include "pty_pair.h"

namespace vantorel::ports {
namespace {

using namespace std::chrono_literals;

volatile std::sig_atomic_t gEarlierHandlerRan = 0;
extern "C" void EarlierHandler(int /*signal*/) { gEarlierHandlerRan = 1; }

TEST(SignalWatcher, HandsEachSignalToTheEventLoopThenGivesTheHandlingBack) {
  const auto earlier = std::signal(SIGHUP, EarlierHandler);
  QtEventLoop loop;
  std::vector<int> seen;
  {
    SignalWatcher watcher({SIGHUP, SIGTERM}, [&](int signal) { seen.push_back(signal); });
    EXPECT_THROW(SignalWatcher({SIGINT}, [](int) {}), std::logic_error) << "one at a time";
    std::raise(SIGHUP);
    std::raise(SIGTERM);
    EXPECT_TRUE(seen.empty()) << "nothing runs inside the handler";
    testing::PumpUntil([&] { return seen.size() == 2; }, [&] { loop.Wait(5ms); });
    EXPECT_EQ(seen, (std::vector<int>{SIGHUP, SIGTERM}));
    EXPECT_EQ(gEarlierHandlerRan, 0);
  }
  std::raise(SIGHUP);
  EXPECT_EQ(gEarlierHandlerRan, 1);
  std::signal(SIGHUP, earlier);
}

}  // namespace
}  // namespace vantorel::ports
