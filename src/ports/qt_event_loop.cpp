#include "ports/qt_event_loop.h"

#include <sys/prctl.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "ports/buffered_port.h"

namespace vantorel::ports {
namespace {

// The end of a wait that goes in short sleeps, and the longest of them: what
// the events arriving then wait at most.
constexpr std::chrono::milliseconds kFineWait{1};
constexpr std::chrono::microseconds kFineSlice{50};
// The very end of a wait goes without sleeping: a sleep ends late by the time
// the system takes to wake the thread (tens of microseconds here), which the
// wait would add to the radio's pause.
constexpr std::chrono::microseconds kWakeful{100};

// The system lets a sleep of this thread end late by its timer slack (50 us
// unless set): the short sleeps at a wait's end ask for 1 us.
class FineTimerSlack {
 public:
  FineTimerSlack() : previous_(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
    ::prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
  }
  ~FineTimerSlack() {
    if (previous_ > 0) {
      ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0, 0, 0);
    }
  }
  FineTimerSlack(const FineTimerSlack&) = delete;
  FineTimerSlack& operator=(const FineTimerSlack&) = delete;

 private:
  int previous_;
};

}  // namespace

void QtEventLoop::DoEvents() { QCoreApplication::processEvents(); }

void QtEventLoop::Wait(std::chrono::milliseconds duration) {
  const auto deadline = Now() + duration;
  // The guard timer only wakes the loop; the monotonic clock decides when the
  // wait is over. It is started again for what remains, because a handler run
  // in the middle may have consumed its tick in a nested wait of its own.
  // The loop's timers wake in whole milliseconds, up to one late: they cover
  // all but the last millisecond, which goes in short sleeps between looks
  // at the events, and its last moments in looks alone, so the wait (the
  // radio's pause) ends on time.
  QTimer guard;
  guard.setSingleShot(true);
  guard.setTimerType(Qt::PreciseTimer);
  for (auto now = Now(); now < deadline; now = Now()) {
    const auto coarse = std::chrono::floor<std::chrono::milliseconds>(deadline - now) - kFineWait;
    if (coarse.count() > 0) {
      guard.start(coarse);
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } else if (!QThread::currentThread()->eventDispatcher()->processEvents(QEventLoop::AllEvents) &&
               deadline - Now() > kWakeful) {
      // Nothing was there to handle: a short sleep before the next look.
      HandOnGatheredWrites();
      const FineTimerSlack slack;
      std::this_thread::sleep_for(
          std::min<station::Clock::duration>(deadline - Now() - kWakeful, kFineSlice));
    }
  }
}

void QtEventLoop::WaitForEvents(std::chrono::milliseconds most) {
  // The timer only makes sure the loop wakes up after `most`.
  QTimer guard;
  guard.setSingleShot(true);
  guard.setTimerType(Qt::PreciseTimer);
  guard.start(most);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

station::Clock::time_point QtEventLoop::Now() const { return station::Clock::now(); }

}  // namespace vantorel::ports
