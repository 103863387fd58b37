#include "handheld.h"

namespace vlnksim {

std::string CHandheld::Feed(const std::string& received) {
  std::string reply;
  for (const char byte : received)
    if (byte == ENQ) reply += m_options.infrared ? 'I' : ACK;
  return reply;
}

}  // namespace vlnksim
