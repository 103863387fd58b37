// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's host for the document: messages go to standard error.
#pragma once

#include "doc/dochost.h"

#include <string>

class CToolHost : public CDocHost {
public:
    void ShowMessage(const std::string& text) override;
    bool HadMessage() const { return m_hadMessage; }

private:
    bool m_hadMessage = false;
};

// Exit codes of every command.
enum ToolExit { kExitOk = 0, kExitUsage = 1, kExitFile = 2 };

// Prints a German message with the tool's name in front.
void ToolError(const std::string& text);
