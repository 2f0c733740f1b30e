#include "ports/pty_port.h"

#include <poll.h>

#include <cerrno>
#include <system_error>

namespace vantorel::ports {

PtyPort::PtyPort(std::string name, std::filesystem::path link, pty::TerminalAccess access)
    : BufferedPort(std::move(name)), link_(std::move(link)), access_(access) {
  lookForApplication_.setInterval(pty::kClientCheckInterval);
  QObject::connect(&lookForApplication_, &QTimer::timeout, Context(),
                   [this] { LookForApplication(); });
  linkCheck_.setInterval(kLinkCheckInterval);
  QObject::connect(&linkCheck_, &QTimer::timeout, Context(), [this] { CheckLink(); });
}

PtyPort::~PtyPort() { Close(); }

void PtyPort::Open() {
  if (line_) {
    return;
  }
  ForgetTraffic();
  try {
    line_.emplace(link_, access_);
  } catch (const std::system_error& e) {
    throw station::SerialError(e.what());
  }
  const int fd = line_->Fd();
  readable_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  writable_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
  QObject::connect(readable_.get(), &QSocketNotifier::activated, Context(),
                   [this] { PullFromLoop(); });
  QObject::connect(writable_.get(), &QSocketNotifier::activated, Context(), [this] {
    Flush();
    DeviceTookSome();
  });
  application_ = false;
  Watch();
  linkTaken_ = false;
  linkCheck_.start();
  if (!line_->ReplacedLink().empty()) {
    Tell({station::PortChange::Notice,
          "replaced the stale link " + link_.string() + " (it led to " + line_->ReplacedLink() +
              ", which no running Vantorel holds)",
          false});
  }
}

void PtyPort::CheckLink() {
  if (!line_) {
    return;
  }
  std::string why;
  switch (line_->KeepLink(why)) {
    case pty::PtyEndpoint::LinkState::kIntact:
      linkTaken_ = false;
      break;
    case pty::PtyEndpoint::LinkState::kMadeAgain:
      linkTaken_ = false;
      Tell({station::PortChange::Notice, link_.string() + " was removed; made again", false});
      break;
    case pty::PtyEndpoint::LinkState::kTaken:
      if (!linkTaken_) {
        linkTaken_ = true;
        Tell({station::PortChange::Notice, why, false});
      }
      break;
  }
}

void PtyPort::Close() {
  HandOnGathered();
  // The notifiers go before the descriptor they watch.
  lookForApplication_.stop();
  linkCheck_.stop();
  readable_.reset();
  writable_.reset();
  line_.reset();  // closes the line and removes the link if it is still ours
  application_ = false;
  unsent_.clear();
  ForgetTraffic();
}

void PtyPort::Watch() {
  if (!line_) {
    return;
  }
  readable_->setEnabled(application_);
  writable_->setEnabled(application_ && !unsent_.empty());
  if (application_) {
    lookForApplication_.stop();
  } else if (!lookForApplication_.isActive()) {
    lookForApplication_.start();
  }
}

void PtyPort::LookForApplication() {
  if (line_ && !application_ && line_->RefreshClient()) {
    ApplicationCame();
  }
}

void PtyPort::ApplicationCame() {
  application_ = true;
  Tell({station::PortChange::PeerBack, {}, false});
  Watch();
  Pull();
}

void PtyPort::ApplicationLeft() {
  application_ = false;
  unsent_.clear();
  Tell({station::PortChange::PeerGone, {}, false});
  Watch();
  // At once rather than a tick later: the line is reset for the next
  // application, or the next one is already there.
  LookForApplication();
}

void PtyPort::Pull() {
  if (!line_ || !application_) {
    return;
  }
  std::string received;
  const pty::IoStatus status = line_->Read(received);
  if (!received.empty()) {
    Arrived(received);
  }
  if (status == pty::IoStatus::kNoClient) {
    ApplicationLeft();
  }
}

bool PtyPort::WaitForArrival(std::chrono::microseconds most) {
  if (!line_ || !application_) {
    return false;
  }
  const int ms = WaitMilliseconds(most);
  pollfd readable{line_->Fd(), POLLIN, 0};
  int ready = 0;
  do {
    ready = ::poll(&readable, 1, ms);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) {
    return false;
  }
  const std::size_t before = Waiting();
  Pull();
  return Waiting() > before;
}

void PtyPort::DeviceWrite(std::string_view bytes) {
  if (!application_) {
    return;  // nobody on the line: the text goes nowhere
  }
  unsent_.append(bytes);
  Flush();
}

void PtyPort::Flush() {
  if (!line_ || !application_) {
    return;
  }
  std::string_view rest = unsent_;
  const pty::IoStatus status = line_->Write(rest);
  unsent_.erase(0, unsent_.size() - rest.size());
  if (status == pty::IoStatus::kNoClient) {
    ApplicationLeft();
    return;
  }
  writable_->setEnabled(!unsent_.empty());
}

}  // namespace vantorel::ports
