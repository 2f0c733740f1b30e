// The radio's latest answer of each kind, from which the FT-950 emulation
// builds App 1's answers.
//
// Each radio message is recognised by its letters (the dialect's answer forms) and kept
// only when it has exactly its kind's form, so every field read later is
// there. An IF status answer also stands for the mode and VFOs it shows.
//
// Threading: owned by one Ft950Emulation and used on its caller's thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "cat/ft950_tables.h"

namespace vantorel::cat::ft950 {

class RadioAnswers {
 public:
  explicit RadioAnswers(const RadioDialect& dialect) : dialect_(&dialect) {}

  struct Heard {
    RadioKey key;
    bool wellFormed;  // the message has its kind's form
  };

  // The kind of answer a radio message is, or nullopt for letters the
  // emulation does not use.
  [[nodiscard]] std::optional<Heard> Classify(std::string_view message) const;
  [[nodiscard]] const RadioDialect& Dialect() const { return *dialect_; }

  // Keeps a well-formed answer as the latest of its kind.
  void Keep(RadioKey key, std::string_view message);

  // The character at `at` of the latest answer of a kind; '\0' when there is
  // none yet.
  [[nodiscard]] char Field(RadioKey key, std::size_t at) const;

  // The latest answer of a kind; empty when there is none yet.
  [[nodiscard]] std::string_view Latest(RadioKey key) const;

  // The number in `count` digits from `at` of the latest answer; nullopt when
  // there is no answer yet.
  [[nodiscard]] std::optional<long> Number(RadioKey key, std::size_t at, std::size_t count) const;

  void Forget();

 private:
  // Long enough for the longest form (the IF status answer).
  struct Text {
    std::array<char, status::kLength> chars{};
    std::uint8_t size = 0;
  };

  void Store(RadioKey key, std::string_view message);

  const RadioDialect* dialect_;
  std::array<Text, kRadioKeys> latest_{};
};

}  // namespace vantorel::cat::ft950
