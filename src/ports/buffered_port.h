// What every kind of port (a serial device, a pseudo-terminal the program
// made, a network connection, the simulated radio) does the same way: the
// characters received wait in a bounded buffer of ours, framed reads take from
// it, the text to send waits in a bounded queue until the device can take it, and the
// receive event and the news are raised from the Qt event loop.
//
// A kind supplies the device: open and close, handing bytes on, how many it
// still holds, and a bounded wait for more input. It calls Arrived() with what
// it received (through PullFromLoop() from its own notification, so the
// receive event comes in the same turn of the event loop), DeviceTookSome()
// when its own buffer went down, and Tell() with news about its far end.
//
// A kind whose device takes each write with a system call of its own (a
// serial device, a pseudo-terminal) gathers writes: text written while a
// receive handler runs and its port still has text waiting (the middle of a
// burst of radio answers) is handed on together with the writes that text
// brings, in one system call, instead of one call per message. Gathered text
// is handed on when the handler writes with nothing left waiting, when its
// receive event ends, and before the thread waits for anything (the event
// loop blocking, a pause, a wait for the rest of an answer or for a
// connection) or the port closes; it stays in order with everything else
// written to the port, behind WriteFirst's text, and is not counted as unsent.
//
// A device or connection that goes away while the port is open is tried again
// every kRetryInterval until it is back or the port is closed: the kind calls
// Lose() once when it goes and CameBack() once when it is back, and is asked
// to TryComeBack() on every tick between; nothing is told per attempt.
//
// Threading: the program's one thread (the Qt event loop's). Ports are made
// with std::make_shared: a receive handler that lets the event loop run may
// see its port replaced meanwhile, and the port keeps itself alive until the
// handler returns.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "station/outgoing_queue.h"
#include "station/serial_port.h"

namespace vantorel::ports {

// How often a lost device or connection is tried again.
inline constexpr std::chrono::milliseconds kRetryInterval{2000};
// The most text a port gathers before it hands it on.
inline constexpr std::size_t kGatherLimit = 1024;
// How much received text may wait to be read. A far end that sends faster
// than the station takes its text (a radio flooding the line) would otherwise
// cost memory without end; past this the oldest waiting characters go.
inline constexpr std::size_t kInputLimit = 64 * 1024;

// Hands every port's gathered writes on now: the thread is about to wait
// without the event loop.
void HandOnGatheredWrites();

class BufferedPort : public station::SerialPort, public std::enable_shared_from_this<BufferedPort> {
 public:
  explicit BufferedPort(std::string name);
  ~BufferedPort() override;
  BufferedPort(const BufferedPort&) = delete;
  BufferedPort& operator=(const BufferedPort&) = delete;

  [[nodiscard]] const std::string& Name() const override { return name_; }
  // A kind without a line of its own has no use for the line settings.
  void Settings(const station::LineSettings& /*line*/) override {}
  void NullDiscard(bool discard) override { nullDiscard_ = discard; }

  [[nodiscard]] std::size_t Waiting() const override;
  std::string ReadWaiting() override;
  std::optional<std::string> ReadThrough(char terminator, std::chrono::microseconds gap,
                                         station::Clock::time_point deadline) override;
  void Discard(std::size_t count) override;

  void Write(std::string_view text) override;
  [[nodiscard]] std::size_t Unsent() const override;
  void WriteFirst(std::string_view text) override;
  [[nodiscard]] std::size_t UnsentFirst() const override;

  std::optional<std::string> OpenOrKeepTrying() override;

  void OnReceive(std::function<void()> handler) override { receive_ = std::move(handler); }
  void OnNews(std::function<void(const station::PortNews&)> handler) override {
    news_ = std::move(handler);
  }

 protected:
  // The device's part. DeviceWrite takes the whole text (the device buffers
  // what it cannot send at once).
  virtual void DeviceWrite(std::string_view bytes) = 0;
  // Bytes handed to the device and not yet sent.
  [[nodiscard]] virtual std::size_t DeviceUnsent() const = 0;
  // Bytes the device has received that Arrived() has not been given yet.
  [[nodiscard]] virtual std::size_t DeviceWaiting() const { return 0; }
  // Hands such bytes to Arrived() now, without waiting.
  virtual void Pull() {}
  // Whether the device takes each write with a system call of its own, so
  // that writes in a burst are worth gathering.
  [[nodiscard]] virtual bool GathersWrites() const { return false; }
  // Waits without the event loop, at most `most`, for more input and hands it
  // to Arrived(); false when none came.
  virtual bool WaitForArrival(std::chrono::microseconds most) = 0;
  // `most` in the whole milliseconds a system or Qt wait takes: rounded up,
  // and at least one, since zero would not wait at all.
  [[nodiscard]] static int WaitMilliseconds(std::chrono::nanoseconds most);

  // For the kinds: what the device received.
  void Arrived(std::string_view bytes);
  // For the kinds' own notification that the device has input (its
  // descriptor readable), run by the event loop: Pull() now, and what it
  // brought raises the receive event at once, not a turn of the loop later.
  // Within a receive handler of this port the event is posted as ever.
  void PullFromLoop();
  // The device sent some of what it held: the queue may hand it more.
  void DeviceTookSome();
  // News about the far end, raised from the event loop.
  void Tell(station::PortNews news);
  // Forgets unread input and unsent text (at open and close).
  void ForgetTraffic();
  // Hands the gathered writes to the device now (a kind closing its device
  // calls it first).
  void HandOnGathered();
  // A QObject living as long as the port, for Qt connections and posted calls.
  [[nodiscard]] QObject* Context() { return &context_; }

  // The device went away; the kind has closed it. Forgets the traffic, tells
  // Lost (retrying) and starts the attempts to come back.
  void Lose(const std::string& reason);
  // An attempt succeeded and the device is open again: tells Restored.
  void CameBack();
  // Ends the attempts (the port is closed on purpose).
  void StopRetrying() { retry_.stop(); }
  [[nodiscard]] bool Retrying() const { return retry_.isActive(); }
  // One attempt to open the lost device again; calls CameBack() when it is
  // back, now or later.
  virtual void TryComeBack() {}
  // Whether TryComeBack can bring the device back: a kind that overrides it says so.
  [[nodiscard]] virtual bool CanComeBack() const { return false; }

 private:
  // Moves past `count` read characters; a buffer read to its end starts over.
  void Advance(std::size_t count);
  // Hands text to the device, keeping count of where the text given to
  // WriteFirst stands in what the device holds.
  void HandToDevice(std::string_view bytes, bool first);
  // Keeps text to hand on with the writes that follow it.
  void Gather(std::string_view text);
  void PostReceiveEvent();
  void RaiseReceiveEvent();
  friend void HandOnGatheredWrites();

  std::string name_;
  bool nullDiscard_ = false;
  std::string input_;
  std::size_t inputStart_ = 0;  // read so far from the front of input_
  bool inputDropping_ = false;  // past kInputLimit since the input was last read up
  std::size_t appended_ = 0;    // characters ever put into input_ (wraps)
  station::OutgoingQueue outgoing_;
  // Text written in a burst, not yet handed to the device; while it holds
  // any, the queue is empty.
  std::string gathered_;
  // Text given to WriteFirst, not yet handed to the device.
  std::string first_;
  // Of it, how much the device got, and how much other text it got since:
  // the first text has left once the device holds no more than that.
  std::size_t firstInDevice_ = 0;
  std::size_t handedSinceFirst_ = 0;
  std::function<void()> receive_;
  std::function<void(const station::PortNews&)> news_;
  bool eventPosted_ = false;
  bool pullingFromLoop_ = false;  // within PullFromLoop: Arrived() leaves the event to it
  bool arrivedFromLoop_ = false;
  int handlerDepth_ = 0;
  std::size_t takenDuringEvent_ = 0;
  QObject context_;
  QTimer retry_;
};

}  // namespace vantorel::ports
