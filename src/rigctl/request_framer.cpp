#include "rigctl/request_framer.h"

#include <utility>

namespace vantorel::rigctl {
namespace {

// fgets with rigctld's 511-byte buffer takes 510 characters of a line.
constexpr std::size_t kLongestLine = 510;

// The C locale's classes, whatever locale the program runs in: a byte above
// 0x7f is never a separator nor a blank here.
bool IsBlank(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
         byte == '\r';
}

bool IsPunctuation(unsigned char byte) {
  return (byte >= '!' && byte <= '/') || (byte >= ':' && byte <= '@') ||
         (byte >= '[' && byte <= '`') || (byte >= '{' && byte <= '~');
}

}  // namespace

RequestFramer::Step RequestFramer::Take(char byte) {
  switch (stage_) {
    case Stage::kCommand:
      if (byte == '+') {
        form.extended = true;
        stage_ = Stage::kAfterPlus;
        return {};
      }
      return Punctuation(byte);
    case Stage::kAfterPlus:
      return Punctuation(byte);
    case Stage::kAfterSeparator:
      return CommandCharacter(byte);
    case Stage::kNameFirst:
      // rigctld takes this character into the name even when it is a blank.
      name_.assign(1, byte);
      stage_ = Stage::kNameWord;
      wordStarted_ = false;
      return {};
    case Stage::kComment:
    case Stage::kSkipLine:
      if (byte == '\n' || byte == '\r' || (stage_ == Stage::kSkipLine && byte == '\0')) {
        stage_ = Stage::kCommand;
      }
      return {};
    case Stage::kSwallow:
      stage_ = Stage::kWord;
      wordStarted_ = false;
      return {};
    case Stage::kNameWord:
    case Stage::kWord:
      return Word(byte);
    case Stage::kLine:
      if (byte != '\n') {
        if (word_->size() < kLongestLine) {
          word_->push_back(byte);
        }
        return {};
      }
      if (word_->empty() && !lineRetried_) {
        lineRetried_ = true;  // the command ended its line: the input is the next one
        return {};
      }
      // fgets leaves one blank after the command; the text sent in Morse keeps it.
      if (word_->starts_with(' ') && request_.command->code != 'b') {
        word_->erase(0, 1);
      }
      return NextInput(true);
  }
  return {};
}

RequestFramer::Step RequestFramer::Word(char byte) {
  std::string& word = stage_ == Stage::kNameWord ? name_ : *word_;
  if (!IsBlank(byte)) {
    wordStarted_ = true;
    if (word.size() < kLongestWord) {
      word.push_back(byte);
    }
    return {};
  }
  if (!wordStarted_) {
    return {};  // blanks before the word
  }
  // The blank stays in the stream for what follows, as with scanf.
  return stage_ == Stage::kNameWord ? Start(FindCommand(std::string_view(name_)), false)
                                    : NextInput(false);
}

RequestFramer::Step RequestFramer::Punctuation(char byte) {
  const auto code = static_cast<unsigned char>(byte);
  if (IsPunctuation(code) && code != '\\' && code != '_' && code != '#' && code != '(' &&
      code != ')') {
    form.extended = true;
    form.separator = byte;
    stage_ = Stage::kAfterSeparator;
    return {};
  }
  return CommandCharacter(byte);
}

RequestFramer::Step RequestFramer::CommandCharacter(char byte) {
  const auto code = static_cast<unsigned char>(byte);
  if (code == '\\') {
    stage_ = Stage::kNameFirst;
    return {};
  }
  stage_ = Stage::kCommand;
  if (code == '\n' || code == '\r') {
    return {};
  }
  if (code == '#') {
    stage_ = Stage::kComment;
    return {};
  }
  if (code == 'q' || code == 'Q') {
    return {.request = Request{.quit = true}};
  }
  return Start(FindCommand(code), true);
}

RequestFramer::Step RequestFramer::Start(const CommandSpec* command, bool used) {
  stage_ = Stage::kCommand;
  if (command == nullptr) {
    return {.used = used};
  }
  request_ = Request{.command = command};
  return NextInput(used);
}

RequestFramer::Step RequestFramer::NextInput(bool used) {
  const CommandSpec& command = *request_.command;
  wordStarted_ = false;
  if (command.takesVfo && vfoOption && !request_.vfo) {
    word_ = &request_.vfo.emplace();
    stage_ = Stage::kSwallow;
    return {.used = used};
  }
  const std::vector<std::string>& inputs = request_.inputs;
  const bool question = !inputs.empty() && inputs.front().starts_with('?');
  if (inputs.size() < command.inputs && !question) {
    word_ = &request_.inputs.emplace_back();
    lineRetried_ = false;
    stage_ = command.lineInput ? Stage::kLine : Stage::kSwallow;
    return {.used = used};
  }
  stage_ = Stage::kCommand;
  return {.used = used, .request = std::exchange(request_, {})};
}

}  // namespace vantorel::rigctl
