// The radio's latest value of each kind, from which the FT-950 emulation
// builds App 1's answers: what the radio answered, or what the emulation set.
//
// Each radio message is recognised by its letters (the dialect's answer
// forms) and kept only when it has exactly its kind's form, so every field
// read later is there. A value is what stands in a form's placeholders. An IF
// status answer also stands for the mode and VFOs it shows.
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
  // Another radio: what was kept of the old one is forgotten.
  void Follow(const RadioDialect& dialect);

  // Keeps a well-formed answer (or setting) as the latest of its kind.
  void Keep(RadioKey key, std::string_view message);
  // Keeps a value the emulation knows without a message of the radio's.
  void KeepValue(RadioKey key, std::string_view value);

  // The latest value of a kind; empty when there is none yet.
  [[nodiscard]] std::string_view Value(RadioKey key) const;
  // The character at `at` of the latest value; '\0' when there is none.
  [[nodiscard]] char Field(RadioKey key, std::size_t at) const;
  // The number in `count` digits from `at` of the latest value (all of it
  // by default); nullopt when there is none.
  [[nodiscard]] std::optional<long> Number(RadioKey key, std::size_t at = 0,
                                           std::size_t count = kWhole) const;
  // The radio's mode code: the last character of its mode value.
  [[nodiscard]] char ModeCode() const;

  void Forget();

  static constexpr std::size_t kWhole = 0;

 private:
  // Long enough for the longest value (the IF status answer's).
  struct Text {
    std::array<char, status::kLength> chars{};
    std::uint8_t size = 0;
  };

  const RadioDialect* dialect_;
  std::array<Text, kRadioKeys> latest_{};
};

}  // namespace vantorel::cat::ft950
