#include "model/traffic_model.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "model/catmux_model.h"

namespace vantorel::model {

void TrafficModel::Add(station::TrafficLine line) {
  if (paused_) {
    return;
  }
  characters_ += line.text.size();
  lines_.push_back(std::move(line));
  while (lines_.size() > kMonitorLines || characters_ > kMonitorCharacters) {
    characters_ -= lines_.front().text.size();
    lines_.pop_front();
  }
  if (Shows(lines_.back())) {
    added.Emit(lines_.back());
  }
}

bool TrafficModel::Shows(const station::TrafficLine& line) const {
  return ShowsSource(line.source);
}

std::string TrafficModel::LineText(const station::TrafficLine& line) const {
  return station::TrafficLineText(line, hex_);
}

std::string TrafficModel::Text() const {
  std::string text;
  for (const station::TrafficLine& line : lines_) {
    if (Shows(line)) {
      text += LineText(line) + "\n";
    }
  }
  return text;
}

std::optional<std::string> TrafficModel::Save(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << Text();
  out.close();
  if (!out) {
    return file.string() + " could not be written: " + std::strerror(errno);
  }
  return std::nullopt;
}

void TrafficModel::SetPaused(bool paused) { paused_ = paused; }

void TrafficModel::SetHex(bool hex) {
  if (hex != hex_) {
    hex_ = hex;
    changed.Emit();
  }
}

bool TrafficModel::ShowsSource(station::TrafficSource source) const {
  return !hidden_.contains(source);
}

void TrafficModel::ShowSource(station::TrafficSource source, bool shown) {
  const bool changes = shown ? hidden_.erase(source) > 0 : hidden_.insert(source).second;
  if (changes) {
    changed.Emit();
  }
}

void TrafficModel::Clear() {
  lines_.clear();
  characters_ = 0;
  changed.Emit();
}

void TrafficModel::SetOpen(bool open) {
  if (open != open_) {
    open_ = open;
    changed.Emit();
  }
}

}  // namespace vantorel::model
