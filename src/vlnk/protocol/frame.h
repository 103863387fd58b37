// SPDX-License-Identifier: LGPL-2.1-or-later
// Bytes and frames on the line between the PC and the handheld.
//
// A request frame is STX, the length L (two bytes, low byte first), the
// command letter (absent for command 0, the data frames of a transfer), the
// data and the 8-bit sum of the L bytes after the length. A reply frame has the
// same shape with at most 256 payload bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vlnk {

class LinkState;

inline constexpr uint8_t STX = 0x02;
inline constexpr uint8_t EOT = 0x04;
inline constexpr uint8_t ENQ = 0x05;
inline constexpr uint8_t ACK = 0x06;
inline constexpr uint8_t CR = 0x0D;
inline constexpr uint8_t NAK = 0x15;
inline constexpr uint8_t IR_ANSWER = 'I';

inline constexpr size_t kReplyPayloadMax = 256;
inline constexpr size_t kRequestDataMax = 276; // L = 277 with the command letter fills the 281-byte buffer

// Sum of the bytes modulo 256.
uint8_t Checksum8(const uint8_t* bytes, size_t count);

// Builds the request into the link's transmit buffer and sets its length.
// Data that would not fit is cut to the buffer (and the cut logged).
void BuildFrame(LinkState& link, uint8_t command, const uint8_t* data, size_t count);
void BuildFrame(LinkState& link, uint8_t command, const std::string& text); // text with its NUL

// Little-endian numbers of reply payloads; bytes beyond `size` count as 0.
uint16_t ReplyU16(const uint8_t* payload, size_t size, size_t offset = 0);
uint32_t ReplyU32(const uint8_t* payload, size_t size, size_t offset = 0);

} // namespace vlnk
