// The handheld's side of the link, fed with the bytes the PC sends.
#pragma once

#include <string>

namespace vlnksim {

struct HandheldOptions {
  bool infrared = false;  // answer ENQ with "I" (infrared adapter) instead of ACK
};

class CHandheld {
 public:
  explicit CHandheld(HandheldOptions options) : m_options(options) {}

  // Bytes to send back for what arrived.
  std::string Feed(const std::string& received);

 private:
  HandheldOptions m_options;
};

inline constexpr char ENQ = 0x05;
inline constexpr char ACK = 0x06;

}  // namespace vlnksim
