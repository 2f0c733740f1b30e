// Every port's traffic, one message a line: what the Traffic window lists,
// what the radio's monitor box shows and what vantorel-nox --monitor logs.
// The station taps each port it attaches (TappedPort): what is read from it
// and what is written to it, while someone watches.
//
// Threading: the program's one thread; nothing here yields.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "station/serial_port.h"
#include "station/station_events.h"

namespace vantorel::station {

// From the far end to Vantorel, or from Vantorel to the far end.
enum class Direction { ToVantorel, FromVantorel };

// Whose port: App 1's, App 2's, the radio's, or an extra application's.
enum class TrafficSource { App1, App2, Radio, Application };
[[nodiscard]] TrafficSource SourceOf(PortRole role);

struct TrafficLine {
  std::chrono::system_clock::time_point at;
  TrafficSource source;
  Direction direction;
  std::string text;         // one message as it went, or the rest of a piece without an end
  std::string application;  // an extra application's name; empty for the other sources
};

// "App 1 to Vantorel", "Vantorel to the radio", "Logger to Vantorel", ...
[[nodiscard]] std::string DirectionText(const TrafficLine& line);
// The local time with milliseconds: "21:07:43.512".
[[nodiscard]] std::string TimeText(std::chrono::system_clock::time_point at);
// The message as text, or as its bytes in hexadecimal with a blank between
// each ("46 41 3B"). Control characters in text show as hex in brackets
// ("<0D>"), so a line stays one line.
[[nodiscard]] std::string MessageText(std::string_view text, bool hex);
// "21:07:43.512  Vantorel to the radio  FA;" (the direction padded, so the
// messages line up).
[[nodiscard]] std::string TrafficLineText(const TrafficLine& line, bool hex);
// A piece cut after each ";" or line feed; a rest without either is the last
// message.
[[nodiscard]] std::vector<std::string_view> Messages(std::string_view piece);

// A port with its traffic told: forwards every call to the port inside and
// hands what it reads and what is written to it (while open) to `tell`,
// while `watched` is true.
class TappedPort final : public SerialPort {
 public:
  using Tell = std::function<void(Direction, std::string_view)>;
  // `watched` may outlive its station, which clears it when it goes.
  TappedPort(std::shared_ptr<SerialPort> port, std::shared_ptr<const bool> watched, Tell tell)
      : port_(std::move(port)), watched_(std::move(watched)), tell_(std::move(tell)) {}

  [[nodiscard]] const std::string& Name() const override { return port_->Name(); }
  void Settings(const LineSettings& line) override { port_->Settings(line); }
  void NullDiscard(bool discard) override { port_->NullDiscard(discard); }
  void Open() override { port_->Open(); }
  std::optional<std::string> OpenOrKeepTrying() override { return port_->OpenOrKeepTrying(); }
  void Close() override { port_->Close(); }
  [[nodiscard]] bool IsOpen() const override { return port_->IsOpen(); }
  void RTSEnable(bool enable) override { port_->RTSEnable(enable); }
  void DTREnable(bool enable) override { port_->DTREnable(enable); }
  void Break(bool enable) override { port_->Break(enable); }
  [[nodiscard]] std::size_t Waiting() const override { return port_->Waiting(); }
  std::string ReadWaiting() override;
  std::optional<std::string> ReadThrough(char terminator, std::chrono::microseconds gap,
                                         Clock::time_point deadline) override;
  void Discard(std::size_t count) override { port_->Discard(count); }
  void Write(std::string_view text) override;
  [[nodiscard]] std::size_t Unsent() const override { return port_->Unsent(); }
  void WriteFirst(std::string_view text) override;
  [[nodiscard]] std::size_t UnsentFirst() const override { return port_->UnsentFirst(); }
  void OnReceive(std::function<void()> handler) override { port_->OnReceive(std::move(handler)); }
  void OnNews(std::function<void(const PortNews&)> handler) override {
    port_->OnNews(std::move(handler));
  }

 private:
  void Told(Direction direction, std::string_view text) const {
    if (*watched_ && !text.empty()) {
      tell_(direction, text);
    }
  }
  std::shared_ptr<SerialPort> port_;
  std::shared_ptr<const bool> watched_;
  Tell tell_;
};

}  // namespace vantorel::station
