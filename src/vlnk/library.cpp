#include "library.h"

#include <cstdio>
#include <vector>

#include "libdir.h"
#include "logfile.h"
#include "msgwindow.h"
#include "settings.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

struct LibraryState {
  bool bLoaded = false;
  bool bSysDirWritable = false;
  std::vector<std::unique_ptr<ChannelSlot>> slots;
};

LibraryState& State() {
  static LibraryState state;
  return state;
}

// Only chooses how a firmware download is paced.
bool ProbeSystemDir() {
  const std::string path = LibraryDir() + "/SYSTEM32/VLNK.TST";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fclose(file);
  std::remove(path.c_str());
  return true;
}

intptr_t WindowProcedure(void* hwnd, unsigned msg, uintptr_t wParam, intptr_t lParam) {
  return VLNKMessageHdlr(hwnd, msg, wParam, lParam);
}

}  // namespace

void LibraryLoad() {
  LibraryState& state = State();
  if (state.bLoaded) return;
  const LogSettings logSettings = ReadLogSettings();
  TheLog().Configure(logSettings.Filename, logSettings.MaxSizeKb);
  TheLog().CreateIfMissing();
  for (int channel = 1; channel <= kChannelCount; ++channel)
    state.slots.push_back(std::make_unique<ChannelSlot>(channel));
  LogWrite(0, "Session started");
  if (logSettings.bFilenameRefused)
    LogWrite(0, "VLNKWDLL:ERROR:LogFile 'Filename' is longer than %zu characters, using '%s'", kLogPathMax,
             logSettings.Filename.c_str());
  state.bSysDirWritable = ProbeSystemDir();
  DeleteStaleProtocolSection();
  state.bLoaded = true;
}

void LibraryUnload() {
  LibraryState& state = State();
  if (!state.bLoaded) return;
  for (auto& slot : state.slots) {
    if (!slot->bOpen) continue;
    slot->bOpen = false;
    slot->link.Close();
  }
  state.slots.clear();
  LogWrite(0, "Session terminated");
  TheLog().Write(0, nullptr);
  DestroyTheWindow();
  state.bLoaded = false;
}

bool LibraryLoaded() { return State().bLoaded; }

ChannelSlot* Slot(int channel) {
  auto& slots = State().slots;
  if (channel < 1 || channel > static_cast<int>(slots.size())) return nullptr;
  return slots[static_cast<size_t>(channel - 1)].get();
}

bool AnySlotOpen() {
  for (const auto& slot : State().slots)
    if (slot->bOpen) return true;
  return false;
}

bool EnsureWindow() {
  if (TheWindow()) return true;
  if (CreateTheWindow(&WindowProcedure)) return true;
  LogWrite(0, "VLNKWDLL:ERROR:Cannot create window");
  return false;
}

void DropWindowIfUnused() {
  if (TheWindow() && !AnySlotOpen()) DestroyTheWindow();
}

bool SystemDirWritable() { return State().bSysDirWritable; }

}  // namespace vlnk
