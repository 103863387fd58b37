// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolhost.h"

#include <cstdio>

void ToolError(const std::string& text) { std::fprintf(stderr, "tresmon-tool: %s\n", text.c_str()); }

void CToolHost::ShowMessage(const std::string& text)
{
    m_hadMessage = true;
    ToolError(text);
}
