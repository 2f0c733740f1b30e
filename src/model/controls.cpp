#include "model/controls.h"

namespace vantorel::model {

void TextBox::TrimToLimit() {
  if (lineLimit_ == 0 && characterLimit_ == 0) {
    return;
  }
  const bool tooManyLines = lineLimit_ != 0 && lines_ > lineLimit_ + lineLimit_ / 4;
  const bool tooLong = characterLimit_ != 0 && text_.size() > characterLimit_ + characterLimit_ / 4;
  if (!tooManyLines && !tooLong) {
    return;
  }
  std::size_t cut = 0;
  if (tooManyLines) {
    std::size_t breaks = lines_ - lineLimit_;
    for (; cut < text_.size() && breaks > 0; ++cut) {
      breaks -= text_[cut] == '\n' ? 1 : 0;
    }
  }
  if (characterLimit_ != 0 && text_.size() - cut > characterLimit_) {
    cut = text_.size() - characterLimit_;
    // Start at a line's start where one comes soon after the cut.
    if (const auto next = text_.find('\n', cut); next != std::string::npos && next - cut < 256) {
      cut = next + 1;
    }
  }
  lines_ -= static_cast<std::size_t>(
      std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(cut), '\n'));
  text_.erase(0, cut);
  trimmed.Emit(cut);
}

}  // namespace vantorel::model
