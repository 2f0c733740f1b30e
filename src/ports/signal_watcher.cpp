#include "ports/signal_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace vantorel::ports {
namespace {

// The pipe's write end for the handler; -1 while no watcher lives.
std::atomic<int> gWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free,
              "the handler may only touch a lock-free value");

extern "C" void OnSignal(int signal) {
  const int savedErrno = errno;
  const auto number = static_cast<unsigned char>(signal);
  // A full pipe (a flood of signals) drops this one: the ones before it
  // still wait to be handled.
  [[maybe_unused]] const ssize_t written = ::write(gWriteEnd.load(), &number, 1);
  errno = savedErrno;
}

}  // namespace

SignalWatcher::SignalWatcher(std::initializer_list<int> watched, std::function<void(int)> onSignal)
    : onSignal_(std::move(onSignal)) {
  if (gWriteEnd.load() >= 0) {
    throw std::logic_error("only one signal watcher at a time");
  }
  if (::pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "signal pipe");
  }
  gWriteEnd.store(pipe_[1]);
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { ReadPipe(); });

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // Interrupted system calls go on; the program's own waits are not cut short.
  action.sa_flags = SA_RESTART;
  for (const int signal : watched) {
    struct sigaction before {};
    if (::sigaction(signal, &action, &before) != 0) {
      const int error = errno;
      Release();
      throw std::system_error(error, std::generic_category(), "sigaction");
    }
    previous_.emplace_back(signal, before);
  }
}

SignalWatcher::~SignalWatcher() { Release(); }

void SignalWatcher::Release() {
  for (const auto& [signal, before] : previous_) {
    ::sigaction(signal, &before, nullptr);
  }
  previous_.clear();
  notifier_.reset();
  gWriteEnd.store(-1);
  for (int& end : pipe_) {
    if (end >= 0) {
      ::close(end);
      end = -1;
    }
  }
}

void SignalWatcher::ReadPipe() {
  std::vector<unsigned char> arrived;
  std::array<unsigned char, 64> numbers{};
  for (;;) {
    const ssize_t got = ::read(pipe_[0], numbers.data(), numbers.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;  // EAGAIN: all read
    }
    arrived.insert(arrived.end(), numbers.begin(), numbers.begin() + got);
  }
  // A handler may run the event loop (a drain wait) and come back here for a
  // later signal: the pipe is read before any of them runs, and each works
  // on its own copy.
  const auto handler = onSignal_;
  for (const unsigned char signal : arrived) {
    handler(signal);
  }
}

}  // namespace vantorel::ports
