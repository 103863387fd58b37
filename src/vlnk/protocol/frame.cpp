// SPDX-License-Identifier: LGPL-2.1-or-later
#include "frame.h"

#include <algorithm>
#include <cstring>

#include "linkstate.h"
#include "logfile.h"

namespace vlnk {

uint8_t Checksum8(const uint8_t* bytes, size_t count)
{
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}

void BuildFrame(LinkState& link, uint8_t command, const uint8_t* data, size_t count)
{
    const size_t letter = command != 0 ? 1 : 0;
    const size_t room = LinkState::kFrameMax - 4 - letter;
    if (count > room) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Request of %zu bytes cut to %zu", count, room);
        count = room;
    }
    uint8_t* frame = link.m_TxBuf.data();
    const size_t length = letter + count;
    frame[0] = STX;
    frame[1] = static_cast<uint8_t>(length & 0xFF);
    frame[2] = static_cast<uint8_t>(length >> 8);
    if (letter) frame[3] = command;
    if (count) std::memcpy(frame + 3 + letter, data, count);
    frame[3 + length] = Checksum8(frame + 3, length);
    link.m_nTxLength = length + 4;
}

void BuildFrame(LinkState& link, uint8_t command, const std::string& text)
{
    BuildFrame(link, command, reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1);
}

uint16_t ReplyU16(const uint8_t* payload, size_t size, size_t offset)
{
    uint16_t value = 0;
    for (size_t i = 0; i < 2; ++i)
        if (offset + i < size) value = static_cast<uint16_t>(value | (payload[offset + i] << (8 * i)));
    return value;
}

uint32_t ReplyU32(const uint8_t* payload, size_t size, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        if (offset + i < size) value |= static_cast<uint32_t>(payload[offset + i]) << (8 * i);
    return value;
}

} // namespace vlnk
