#include "cat/standard_client_sign.h"

namespace vantorel::cat {

bool StandardClientSign::Take(std::string_view command) {
  if (told_) {
    return false;
  }
  if (command == "ID;") {
    modelRead_ = true;
    return false;
  }
  told_ = command == "AI;" || (modelRead_ && command.starts_with("EX027"));
  return told_;
}

}  // namespace vantorel::cat
