#include "ports/buffered_port.h"

#include <QAbstractEventDispatcher>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "ports/log.h"

namespace vantorel::ports {
namespace {

// How much the device itself may hold before the queue keeps the rest: enough
// to keep a fast line busy, little enough that the queue's bound decides what
// a far end that reads nothing costs.
constexpr std::size_t kDeviceShare = 4096;

// How many times one receive event calls a handler that keeps taking text.
constexpr int kCallsPerEvent = 16;

// The writes being gathered, for the program's one thread.
struct Gathering {
  // The ports whose receive events are being handled, the innermost last.
  std::vector<const BufferedPort*> receiving;
  // The ports holding gathered text.
  std::vector<std::weak_ptr<BufferedPort>> holding;
  // The event loop that tells us when it is about to block.
  QPointer<QAbstractEventDispatcher> watched;
};

Gathering& TheGathering() {
  static Gathering gathering;
  return gathering;
}

// A receive event of `port` is being handled; at its end, what its handlers
// gathered goes on.
class ReceivingScope {
 public:
  explicit ReceivingScope(const BufferedPort& port) { TheGathering().receiving.push_back(&port); }
  ~ReceivingScope() {
    TheGathering().receiving.pop_back();
    HandOnGatheredWrites();
  }
  ReceivingScope(const ReceivingScope&) = delete;
  ReceivingScope& operator=(const ReceivingScope&) = delete;
};

// More text waits at the port whose receive event is being handled: what it
// brings is written soon, and a write now can go with it.
bool GatheringWanted() {
  const auto& receiving = TheGathering().receiving;
  return !receiving.empty() && receiving.back()->Waiting() > 0;
}

}  // namespace

void HandOnGatheredWrites() {
  // Taken first: the list is not changed under the loop by a port that hands on.
  const auto holding = std::exchange(TheGathering().holding, {});
  for (const auto& weak : holding) {
    if (const auto port = weak.lock()) {
      port->HandOnGathered();
    }
  }
}

BufferedPort::BufferedPort(std::string name) : name_(std::move(name)) {
  retry_.setInterval(kRetryInterval);
  QObject::connect(&retry_, &QTimer::timeout, &context_, [this] {
    const auto self = weak_from_this().lock();
    TryComeBack();
  });
}

BufferedPort::~BufferedPort() = default;

int BufferedPort::WaitMilliseconds(std::chrono::nanoseconds most) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(most).count();
  return static_cast<int>(std::max<long long>(ms, 1));
}

std::size_t BufferedPort::Waiting() const {
  if (!IsOpen()) {
    return 0;
  }
  return input_.size() - inputStart_ + DeviceWaiting();
}

std::string BufferedPort::ReadWaiting() {
  Pull();
  std::string text = input_.substr(inputStart_);
  takenDuringEvent_ += text.size();
  Advance(text.size());
  return text;
}

std::optional<std::string> BufferedPort::ReadThrough(char terminator, std::chrono::microseconds gap,
                                                     station::Clock::time_point deadline) {
  Pull();
  std::size_t from = inputStart_;
  for (;;) {
    const std::size_t end = input_.find(terminator, from);
    if (end != std::string::npos) {
      std::string text = input_.substr(inputStart_, end + 1 - inputStart_);
      takenDuringEvent_ += text.size();
      Advance(text.size());
      return text;
    }
    // Only what arrives next is looked at again. It comes at the end; the
    // front may move meanwhile (read text let go, the oldest dropped).
    const std::size_t appendedBefore = appended_;
    const auto now = station::Clock::now();
    if (!IsOpen() || now >= deadline) {
      return std::nullopt;
    }
    const auto most =
        std::min(gap, std::chrono::duration_cast<std::chrono::microseconds>(deadline - now));
    HandOnGatheredWrites();
    if (!WaitForArrival(most)) {
      return std::nullopt;
    }
    from = input_.size() - std::min(appended_ - appendedBefore, input_.size() - inputStart_);
  }
}

void BufferedPort::Discard(std::size_t count) {
  Pull();
  Advance(count);
}

void BufferedPort::Advance(std::size_t count) {
  inputStart_ = std::min(input_.size(), inputStart_ + count);
  if (inputStart_ == input_.size()) {
    input_.clear();
    inputStart_ = 0;
    inputDropping_ = false;
  }
}

void BufferedPort::Write(std::string_view text) {
  if (text.empty() || !IsOpen()) {
    return;
  }
  // Nothing waits before it: straight on to the device, without a queue
  // pass; in a burst, together with the writes that follow.
  if (first_.empty() && outgoing_.Empty() && DeviceUnsent() < kDeviceShare) {
    if (GathersWrites() && gathered_.size() + text.size() <= kGatherLimit && GatheringWanted()) {
      Gather(text);
    } else if (!gathered_.empty()) {
      gathered_.append(text);
      HandOnGathered();
    } else {
      HandToDevice(text, false);
    }
    return;
  }
  HandOnGathered();
  if (const std::size_t dropped = outgoing_.Push(text); dropped > 0) {
    Tell({station::PortChange::Overflow,
          "its far end reads nothing; " + std::to_string(dropped) +
              " waiting message(s) dropped, and older ones go while it stays so",
          false});
  }
  DeviceTookSome();
}

std::size_t BufferedPort::Unsent() const {
  return IsOpen() ? first_.size() + outgoing_.Bytes() + DeviceUnsent() : 0;
}

void BufferedPort::WriteFirst(std::string_view text) {
  if (text.empty() || !IsOpen()) {
    return;
  }
  first_.append(text);
  DeviceTookSome();
}

std::size_t BufferedPort::UnsentFirst() const {
  if (!IsOpen()) {
    return 0;
  }
  const std::size_t inDevice = DeviceUnsent();
  const std::size_t firstInDevice =
      inDevice > handedSinceFirst_ ? std::min(firstInDevice_, inDevice - handedSinceFirst_) : 0;
  return first_.size() + firstInDevice;
}

void BufferedPort::Gather(std::string_view text) {
  Gathering& gathering = TheGathering();
  if (gathered_.empty()) {
    gathering.holding.push_back(weak_from_this());
  }
  gathered_.append(text);
  // The event loop hands it on before it sleeps, wherever it is run from.
  if (auto* loop = QAbstractEventDispatcher::instance();
      loop != nullptr && loop != gathering.watched) {
    gathering.watched = loop;
    QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, loop, &HandOnGatheredWrites);
  }
}

void BufferedPort::HandOnGathered() {
  if (gathered_.empty()) {
    return;
  }
  const std::string text = std::exchange(gathered_, {});
  if (IsOpen()) {
    HandToDevice(text, false);
  }
}

void BufferedPort::HandToDevice(std::string_view bytes, bool first) {
  if (first) {
    firstInDevice_ = UnsentFirst() - first_.size() + bytes.size();
    handedSinceFirst_ = 0;
  } else {
    handedSinceFirst_ += bytes.size();
  }
  DeviceWrite(bytes);
}

std::optional<std::string> BufferedPort::OpenOrKeepTrying() {
  try {
    Open();
    return std::nullopt;
  } catch (const station::SerialError& e) {
    if (!CanComeBack()) {
      throw;
    }
    retry_.start();
    return e.what();
  }
}

void BufferedPort::DeviceTookSome() {
  // The text given to WriteFirst goes whole, whatever the device holds.
  if (!first_.empty() && IsOpen()) {
    const std::string first = std::exchange(first_, {});
    HandToDevice(first, true);
  }
  while (!outgoing_.Empty() && IsOpen() && DeviceUnsent() < kDeviceShare) {
    HandToDevice(outgoing_.Take(kDeviceShare - DeviceUnsent()), false);
  }
}

void BufferedPort::Arrived(std::string_view bytes) {
  // Read text is dropped from the front only now and then, so a long burst
  // does not move the rest for every answer taken.
  if (inputStart_ > 0 && inputStart_ >= input_.size() / 2) {
    input_.erase(0, inputStart_);
    inputStart_ = 0;
  }
  const std::size_t before = input_.size();
  if (nullDiscard_) {
    std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(input_),
                 [](char c) { return c != '\0'; });
  } else {
    input_.append(bytes);
  }
  appended_ += input_.size() - before;
  const bool more = input_.size() > before;
  if (input_.size() - inputStart_ > kInputLimit) {
    const std::size_t dropped = input_.size() - inputStart_ - kInputLimit;
    input_.erase(0, inputStart_ + dropped);
    inputStart_ = 0;
    // Told once, until the station has read up what waits.
    if (!inputDropping_) {
      inputDropping_ = true;
      Tell({station::PortChange::Overflow,
            "text comes faster than it is handled; " + std::to_string(dropped) +
                " waiting character(s) dropped, and older ones go while it stays so",
            false});
    }
  }
  if (more && pullingFromLoop_) {
    arrivedFromLoop_ = true;
  } else if (more) {
    PostReceiveEvent();
  }
}

void BufferedPort::PullFromLoop() {
  const auto self = weak_from_this().lock();
  pullingFromLoop_ = true;
  arrivedFromLoop_ = false;
  Pull();
  pullingFromLoop_ = false;
  if (!std::exchange(arrivedFromLoop_, false)) {
    return;
  }
  // A handler of this port already running (the notification came in one of
  // its waits) takes the new characters itself, or gets the event afterwards.
  if (handlerDepth_ > 0 || eventPosted_) {
    PostReceiveEvent();
    return;
  }
  RaiseReceiveEvent();
}

void BufferedPort::ForgetTraffic() {
  input_.clear();
  inputStart_ = 0;
  inputDropping_ = false;
  outgoing_.Clear();
  gathered_.clear();
  first_.clear();
  firstInDevice_ = 0;
  handedSinceFirst_ = 0;
}

void BufferedPort::Lose(const std::string& reason) {
  ForgetTraffic();
  Tell({station::PortChange::Lost, reason, true});
  retry_.start();
}

void BufferedPort::CameBack() {
  retry_.stop();
  Tell({station::PortChange::Restored, {}, false});
}

void BufferedPort::Tell(station::PortNews news) {
  QMetaObject::invokeMethod(
      &context_,
      [this, news = std::move(news)] {
        const auto self = weak_from_this().lock();
        // A copy: the handler may replace itself.
        const auto handler = news_;
        if (handler) {
          handler(news);
        }
      },
      Qt::QueuedConnection);
}

void BufferedPort::PostReceiveEvent() {
  if (eventPosted_) {
    return;
  }
  eventPosted_ = true;
  QMetaObject::invokeMethod(
      &context_, [this] { RaiseReceiveEvent(); }, Qt::QueuedConnection);
}

void BufferedPort::RaiseReceiveEvent() {
  eventPosted_ = false;
  // The handler may let the event loop run, and a Start pressed meanwhile may
  // let go of this port: it stays alive until the handler returns.
  const auto self = weak_from_this().lock();
  const ReceivingScope receiving(*this);
  const bool outermost = handlerDepth_ == 0;
  // Characters left after the handler (the rest of a burst) get it called
  // again. Only when it took some: one that takes none would otherwise be
  // called again and again with nothing changing; new characters wake it. A
  // few calls go in one turn of the event loop (the handlers let it run
  // themselves); the rest of a long burst gets another event.
  for (int call = 0; receive_ && Waiting() > 0; ++call) {
    if (call == kCallsPerEvent) {
      PostReceiveEvent();
      return;
    }
    if (outermost) {
      takenDuringEvent_ = 0;
    }
    const std::function<void()> handler = receive_;
    ++handlerDepth_;
    try {
      handler();
    } catch (const std::exception& e) {
      // The receive passes report their own failures; nothing may unwind
      // through the event loop.
      Log(station::Topic::Ports, Severity::Critical, "Receive event of " + name_ + ": " + e.what());
    }
    --handlerDepth_;
    if (!outermost || takenDuringEvent_ == 0) {
      return;
    }
  }
}

}  // namespace vantorel::ports
