// SPDX-License-Identifier: LGPL-2.1-or-later
#include "library.h"

#include "libdir.h"
#include "logfile.h"
#include "msgwindow.h"
#include "session.h"
#include "settings.h"
#include "sidefile.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

intptr_t WindowProcedure(void* hwnd, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    return VLNKMessageHdlr(hwnd, msg, wParam, lParam);
}

} // namespace

void LibraryLoad()
{
    if (TheSession()) return;
    const LogSettings logSettings = ReadLogSettings();
    Session& state = CreateSession();
    state.log.Configure(logSettings.Filename, logSettings.MaxSizeKb);
    state.log.CreateIfMissing();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        state.slots.push_back(std::make_unique<ChannelSlot>(channel));
    LogWrite(0, "Session started");
    if (!RegularOrAbsent(IniPath()))
        LogWrite(0, "VLNKWDLL:ERROR:'%s' is not a regular file: no setting is read from it or written to it",
                 IniPath().c_str());
    if (logSettings.bFilenameRefused)
        LogWrite(0, "VLNKWDLL:ERROR:LogFile 'Filename' is longer than %zu characters, using '%s'", kLogPathMax,
                 logSettings.Filename.c_str());
    state.bSysDirWritable = ProbeSystemDir();
    DeleteStaleProtocolSection();
}

// The channels close while the log and the window they use still exist; the
// log goes last, after its closing lines.
void LibraryUnload()
{
    Session* state = TheSession();
    if (!state) return;
    for (auto& slot : state->slots) {
        if (!slot->bOpen) continue;
        slot->bOpen = false;
        slot->link.Close();
    }
    state->slots.clear();
    LogWrite(0, "Session terminated");
    state->log.Write(0, nullptr);
    DestroyTheWindow();
    DestroySession();
}

bool LibraryLoaded() { return TheSession() != nullptr; }

ChannelSlot* Slot(int channel)
{
    Session* state = TheSession();
    if (!state || channel < 1 || channel > static_cast<int>(state->slots.size())) return nullptr;
    return state->slots[static_cast<size_t>(channel - 1)].get();
}

bool AnySlotOpen()
{
    if (Session* state = TheSession())
        for (const auto& slot : state->slots)
            if (slot->bOpen) return true;
    return false;
}

bool EnsureWindow()
{
    if (!TheSession()) return false;
    if (TheWindow()) return true;
    if (CreateTheWindow(&WindowProcedure)) return true;
    LogWrite(0, "VLNKWDLL:ERROR:Cannot create window");
    return false;
}

void DropWindowIfUnused()
{
    if (TheWindow() && !AnySlotOpen()) DestroyTheWindow();
}

} // namespace vlnk
