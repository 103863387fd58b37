#include "arguments.h"

#include <algorithm>

namespace cmdvlnk {

std::string JoinArguments(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    std::string token = arg;
    // The value begins after the first "=" or ":" of a "/NAME" argument.
    size_t value = 0;
    if (!token.empty() && token[0] == '/') {
      value = token.find_first_of("=:");
      if (value == std::string::npos) value = token.size();
    }
    std::replace(token.begin() + static_cast<std::ptrdiff_t>(value), token.end(), '/', '\\');
    if (!line.empty()) line += ' ';
    line += token;
  }
  return line;
}

}  // namespace cmdvlnk
