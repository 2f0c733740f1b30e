// Turns process signals (SIGTERM, SIGINT, SIGHUP) into calls on the Qt event
// loop, so a program can end or reload the way its own handlers do: unkey the
// radio, let the queues drain, close the ports, save the settings.
//
// The signal handler does nothing but write the signal's number into a pipe
// (a write is one of the few things a handler may safely do); a
// QSocketNotifier on the pipe's other end calls back on the program's thread,
// from the event loop. Signals that arrive while no event loop runs wait in
// the pipe. The handler is installed with sigaction, not by blocking signals,
// so programs started from here inherit no blocked signals.
//
// One watcher at a time in a process; its end gives the signals back the
// handling they had before. The callback may run the event loop, but must not
// destroy the watcher.
//
// Threading: made, used and destroyed on the program's one thread; the
// system runs the handler on any thread.
#pragma once

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace vantorel::ports {

class SignalWatcher {
 public:
  // Throws std::system_error when the pipe or a handler cannot be set up,
  // std::logic_error when another watcher lives.
  SignalWatcher(std::initializer_list<int> watched, std::function<void(int)> onSignal);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

 private:
  void ReadPipe();
  void Release();

  std::function<void(int)> onSignal_;
  std::array<int, 2> pipe_{-1, -1};  // read end, write end
  std::unique_ptr<QSocketNotifier> notifier_;
  std::vector<std::pair<int, struct sigaction>> previous_;
};

}  // namespace vantorel::ports
