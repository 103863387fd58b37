// SPDX-License-Identifier: GPL-3.0-or-later
// A row's comment in eight bytes. Most rows have none, and a survey keeps
// hundreds of thousands of rows: std::string's 32 bytes were half of every
// row, and every page of them has to be touched when a survey is read.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

class CRowText {
public:
    CRowText() = default;
    explicit CRowText(std::string_view text) { Assign(text); }
    CRowText(const CRowText& other) { Assign(other.View()); }
    CRowText(CRowText&& other) noexcept
        : m_block(std::exchange(other.m_block, nullptr))
    { }
    CRowText& operator=(const CRowText& other)
    {
        if (this != &other) Assign(other.View());
        return *this;
    }
    CRowText& operator=(CRowText&& other) noexcept
    {
        if (this != &other) {
            delete[] m_block;
            m_block = std::exchange(other.m_block, nullptr);
        }
        return *this;
    }
    CRowText& operator=(std::string_view text)
    {
        Assign(text);
        return *this;
    }
    ~CRowText() { delete[] m_block; }

    bool empty() const { return m_block == nullptr; }
    std::string_view View() const
    {
        if (!m_block) return {};
        uint32_t size = 0;
        std::memcpy(&size, m_block, sizeof size);
        return {m_block + sizeof size, size};
    }
    std::string Str() const { return std::string(View()); }

    bool operator==(const CRowText& other) const { return View() == other.View(); }

private:
    // The new block first: `text` may lie in the old one.
    void Assign(std::string_view text)
    {
        char* block = nullptr;
        if (!text.empty()) {
            const auto size = static_cast<uint32_t>(text.size());
            block = new char[sizeof size + text.size()];
            std::memcpy(block, &size, sizeof size);
            std::memcpy(block + sizeof size, text.data(), text.size());
        }
        delete[] m_block;
        m_block = block;
    }

    char* m_block = nullptr; // the length (4 bytes), then the text; null when empty
};
