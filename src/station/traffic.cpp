#include "station/traffic.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vantorel::station {

TrafficSource SourceOf(PortRole role) {
  switch (role) {
    case PortRole::App1:
      return TrafficSource::App1;
    case PortRole::App2:
      return TrafficSource::App2;
    case PortRole::Radio:
      break;
  }
  return TrafficSource::Radio;
}

std::string DirectionText(const TrafficLine& line) {
  std::string name = line.application;
  for (const PortRole role : {PortRole::App1, PortRole::App2, PortRole::Radio}) {
    if (line.source == SourceOf(role)) {
      name = PortTitle(role);
      name.resize(name.find("'s port"));  // "App 1", "the radio"
    }
  }
  return line.direction == Direction::ToVantorel ? name + " to Vantorel" : "Vantorel to " + name;
}

std::string TimeText(std::chrono::system_clock::time_point at) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(milliseconds));
  return text;
}

std::string MessageText(std::string_view text, bool hex) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    const bool control = code < 0x20 || code == 0x7F;
    if (hex && !shown.empty()) {
      shown.push_back(' ');
    }
    if (!hex && control) {
      shown.push_back('<');
    }
    if (hex || control) {
      shown.push_back(kDigits[code >> 4]);
      shown.push_back(kDigits[code & 0x0F]);
    } else {
      shown.push_back(c);
    }
    if (!hex && control) {
      shown.push_back('>');
    }
  }
  return shown;
}

std::string TrafficLineText(const TrafficLine& line, bool hex) {
  std::string direction = DirectionText(line);
  direction.resize(std::max<std::size_t>(direction.size(), 22), ' ');
  return TimeText(line.at) + "  " + direction + "  " + MessageText(line.text, hex);
}

std::vector<std::string_view> Messages(std::string_view piece) {
  std::vector<std::string_view> messages;
  while (!piece.empty()) {
    const std::size_t end = piece.find_first_of(";\n");
    const std::size_t length = end == std::string_view::npos ? piece.size() : end + 1;
    messages.push_back(piece.substr(0, length));
    piece.remove_prefix(length);
  }
  return messages;
}

std::string TappedPort::ReadWaiting() {
  std::string text = port_->ReadWaiting();
  Told(Direction::ToVantorel, text);
  return text;
}

std::optional<std::string> TappedPort::ReadThrough(char terminator, std::chrono::microseconds gap,
                                                   Clock::time_point deadline) {
  std::optional<std::string> text = port_->ReadThrough(terminator, gap, deadline);
  if (text) {
    Told(Direction::ToVantorel, *text);
  }
  return text;
}

void TappedPort::Write(std::string_view text) {
  if (port_->IsOpen()) {
    Told(Direction::FromVantorel, text);
  }
  port_->Write(text);
}

void TappedPort::WriteFirst(std::string_view text) {
  if (port_->IsOpen()) {
    Told(Direction::FromVantorel, text);
  }
  port_->WriteFirst(text);
}

}  // namespace vantorel::station
