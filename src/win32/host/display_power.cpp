// display_power.cpp - the display state notification and what follows from it.
#include "win32/host/display_power.h"

#include <cstring>

#include "win32/host/cover_windows.h"
#include "win32/session/scene_window.h"

namespace {

using RegisterPowerSettingEntry = HANDLE(WINAPI*)(HANDLE recipient, const GUID* setting, DWORD flags);
using UnregisterPowerSettingEntry = BOOL(WINAPI*)(HANDLE registration);

// The console display state (0 off, 1 on, 2 dimmed), and the monitor power
// (0 off, 1 on) that came before it.
constexpr GUID consoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID monitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

constexpr UINT powerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
constexpr UINT resumeAutomatic = 0x0012;     // PBT_APMRESUMEAUTOMATIC
constexpr UINT resumeSuspend = 0x0007;       // PBT_APMRESUMESUSPEND

struct PowerSetting {  // POWERBROADCAST_SETTING
  GUID setting;
  DWORD dataLength;
  UCHAR data[1];
};

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Asleep, the frame timer goes and the slow watch takes its place; awake,
// the frames start again with one painted whole.
void SetDisplayAsleep(Session& session, HostState& hostState, bool asleep) {
  const bool wasAsleep = hostState.displayAsleep;
  hostState.displayAsleep = asleep;
  HWND window = SceneWindow(session);
  if (!wasAsleep && asleep) {
    KillTimer(window, frameTimerId);
    SetTimer(window, displayAsleepTimerId, layoutCheckInterval, nullptr);
  } else if (wasAsleep && !asleep) {
    KillTimer(window, displayAsleepTimerId);
    if (session.framePeriod != 0) StartFrameTimer(session, session.framePeriod);
    ShowWholeFrames(session);
  }
}

}  // namespace

void WatchDisplayPower(HostState& hostState, HWND window) {
  const auto registerEntry =
      FindEntry<RegisterPowerSettingEntry>(GetModuleHandleA("USER32.DLL"), "RegisterPowerSettingNotification");
  if (registerEntry == nullptr) return;
  hostState.displayStateNotification = registerEntry(window, &consoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
  if (hostState.displayStateNotification == nullptr)
    hostState.displayStateNotification = registerEntry(window, &monitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopWatchingDisplayPower(HostState& hostState) {
  if (hostState.displayStateNotification == nullptr) return;
  const auto unregisterEntry =
      FindEntry<UnregisterPowerSettingEntry>(GetModuleHandleA("USER32.DLL"), "UnregisterPowerSettingNotification");
  if (unregisterEntry != nullptr) unregisterEntry(hostState.displayStateNotification);
  hostState.displayStateNotification = nullptr;
}

void OnMonitorPower(Session& session, HostState& hostState, LPARAM state) {
  SetDisplayAsleep(session, hostState, state == 1 || state == 2);
}

LRESULT OnPowerBroadcast(Session& session, HostState& hostState, WPARAM event, LPARAM data) {
  if (event == resumeAutomatic || event == resumeSuspend) SetDisplayAsleep(session, hostState, false);
  if (event != powerSettingChange || data == 0) return TRUE;
  const auto* setting = reinterpret_cast<const PowerSetting*>(data);
  const bool known = SameGuid(setting->setting, consoleDisplayState) || SameGuid(setting->setting, monitorPowerOn);
  if (known && setting->dataLength >= sizeof(DWORD)) {
    DWORD state = 0;
    std::memcpy(&state, setting->data, sizeof state);
    SetDisplayAsleep(session, hostState, state == 0);  // dimmed still shows
  }
  return TRUE;
}
