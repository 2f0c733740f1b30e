// Cuts what a client sends into requests the way rigctld 4.5.4 reads its
// socket. rigctld does not read lines: it reads one character as the command,
// a '\' and a word as a long name, and each input as "one character, then a
// whitespace-separated word" (its fgetc, then scanf "%s"). So "f m\n" and
// "fm\n" are two commands, "F14074000" sets 4074000 (the '1' is swallowed),
// and a command missing its input takes the next word, even on the next line.
// Before the command, '+' asks for the extended answer form, and any other
// punctuation but \ _ # ( ) does too and becomes the separator between its
// values; both stay in force until an answer ends in "RPRT". Newlines between
// commands are skipped; '#' starts a comment up to the end of the line.
//
// Bytes are taken one at a time, so input may arrive split anywhere. Memory is
// bounded: a word keeps its first kLongestWord characters (rigctld's buffer;
// it would overrun it) and drops the rest; a line input likewise, and the
// rest of an over-long line is dropped rather than read as commands.
//
// Threading: one owner thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "rigctl/command_table.h"

namespace vantorel::rigctl {

struct Request {
  // nullptr: a character or name rigctld does not know; it answers nothing.
  const CommandSpec* command = nullptr;
  bool quit = false;  // 'q' or 'Q'
  // The VFO word, when the VFO option is on and the command takes one.
  std::optional<std::string> vfo{};
  // The inputs read, in order (fewer than the command takes after a '?').
  std::vector<std::string> inputs{};
};

// How answers are written; changed by the prefixes, reset after "RPRT".
struct AnswerForm {
  bool extended = false;
  char separator = '\n';
};

class RequestFramer {
 public:
  static constexpr std::size_t kLongestWord = 511;

  struct Step {
    bool used = true;  // false: the byte ends a word and is offered again next
    std::optional<Request> request{};
  };

  Step Take(char byte);

  // rigctld drops the rest of the line after "V" with a VFO it does not know.
  void SkipRestOfLine() { stage_ = Stage::kSkipLine; }

  AnswerForm form;
  bool vfoOption = false;  // \set_vfo_opt: commands that take a VFO start with one

 private:
  enum class Stage {
    kCommand,         // the next character may be '+', a separator or the command
    kAfterPlus,       // may still be a separator
    kAfterSeparator,  // the command, a '\' or a newline
    kNameFirst,       // the character right after '\'
    kNameWord,
    kComment,
    kSkipLine,
    kSwallow,  // the one character read before each input word
    kWord,
    kLine,
  };

  Step Word(char byte);
  Step Punctuation(char byte);
  Step CommandCharacter(char byte);
  // `used`: whether the byte that completed the command was taken.
  Step Start(const CommandSpec* command, bool used);
  // The next input to read, or the finished request.
  Step NextInput(bool used);

  Stage stage_ = Stage::kCommand;
  Request request_;
  std::string name_;
  std::string* word_ = nullptr;
  bool wordStarted_ = false;
  bool lineRetried_ = false;
};

}  // namespace vantorel::rigctl
