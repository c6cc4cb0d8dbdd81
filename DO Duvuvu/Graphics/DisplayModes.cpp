#include "DisplayModes.h"

#include <cstring>

#include "EventPoll.h"
#include "FixedResults.h"
#include "GammaFades.h"
#include "MonitorChecks.h"
#include "Ports.h"
#include "Windows.h"

DisplayModeCallback MatchModeResolutionSlot = MatchModeResolutionCallback;
DisplayModeCallback MatchModeDepthSlot = MatchModeDepthCallback;

namespace {

enum DisplayFunctionIndex {
  kAvailableModes = 1,
  kCurrentMode = 2,
  kSwitchToMode = 3,
  kIsCaptured = 4,
  kCapture = 5,
  kRelease = 6,
};
constexpr OSErr kParamError = -50;
constexpr OSType kAlertOK = FOUR_CHAR_CODE("ok  ");
constexpr SInt16 kConfirmWidth = 600;
constexpr SInt16 kConfirmOption = 2;
const char kConfirmText[] =
    "The settings for your monitor have been changed.  Click OK to confirm that the monitor is displayed "
    "correctly.  Click Cancel or wait 10 seconds to revert to the previous settings.";

template <typename T>
T Bound(int index) {
  return reinterpret_cast<T>(DisplayFunctions[index]);
}

// The lowest offered depth that is at least d.
UInt32 BestDepth(UInt32 depths, UInt32 d) {
  UInt32 best = 0;
  for (UInt32 bit = 256; bit >= d && bit >= 1; bit >>= 1)
    if (depths & bit) best = bit;
  return best;
}

bool SameSize(const DisplayMode& a, const DisplayMode& b) {
  return a.width == b.width && a.height == b.height && a.refreshRate == b.refreshRate;
}

SInt32 IndexOf(const DisplayRecord* record, const DisplayMode& mode) {
  for (UInt32 i = 0; i < record->modes.count; ++i)
    if (SameSize(record->modes.data[i], mode)) return static_cast<SInt32>(i);
  return -1;
}

SInt16 DeviceDepth(DeviceHandle device) {
  if (device && (*device)->pixMap) return (*(*device)->pixMap)->pixelDepth;
  return MainDevicePixelDepth();
}

void Store(SInt32* out, SInt32 value) {
  if (out) *out = value;
}

SInt32 ModeCount(const void* list) {
  const DisplayServiceSeam& seam = GetDisplayServiceSeam();
  return seam.arrayCount ? seam.arrayCount(list) : GetObjectArrayCount(list);
}

const void* ModeAt(const void* list, SInt32 index) {
  const DisplayServiceSeam& seam = GetDisplayServiceSeam();
  return seam.arrayItem ? seam.arrayItem(list, index) : GetObjectArrayItem(list, index);
}

UInt8 SwitchModern(DisplayRecord* record, UInt8 depth, const DisplayMode& wanted) {
  if (!DisplayFunctionsBound()) return 0;
  if (!Bound<DisplayModeQueryProc>(kCurrentMode)(record->displayID)) return 0;
  const SInt32 count = record->modeList ? ModeCount(record->modeList) : 0;
  for (SInt32 j = 0; j < count; ++j) {
    const void* dictionary = ModeAt(record->modeList, j);
    DisplayMode mode;
    if (ReadDisplayMode(dictionary, &mode) != 0) continue;
    if (SameSize(mode, wanted) && mode.depths == depth) return SetDisplayMode(record, dictionary);
  }
  return 0;
}

UInt8 SwitchOlder(DisplayRecord* record, UInt32 word, UInt8 depth, const DisplayMode& wanted) {
  const DisplayManagerSeam& seam = GetDisplayManagerSeam();
  if (!seam.currentMode || !seam.enumerateModes || !seam.setMode) return 0;
  if (depth == 0) depth = static_cast<UInt8>(DeviceDepth(record->device));
  DisplayModeWords start = {};
  if (seam.currentMode(record->device, &start) != 0) return 0;
  DisplayModeMatch match = {};
  match.wanted = depth;
  OSErr result = kParamError;
  if (MatchModeDepthSlot) result = seam.enumerateModes(record->device, wanted.mode, MatchModeDepthSlot, &match);
  if (result == kParamError) {
    if (MatchModeDepthSlot) return 0;
    MatchModeDepthSlot = MatchModeDepthCallback;
    result = seam.enumerateModes(record->device, wanted.mode, MatchModeDepthSlot, &match);
  }
  if (result != 0 || !match.matched) return 0;
  if (word & (1u << 30)) {
    if (seam.setModePreference) seam.setModePreference(1);
  } else if (word & (1u << 31)) {
    if (seam.setModePreference) seam.setModePreference(0);
  }
  DisplayModeWords chosen;
  std::memcpy(chosen.words, match.words, sizeof chosen.words);
  if (!SetDisplayMode(record, &chosen)) return 0;
  if (ConfirmDisplayMode(record)) return 1;
  SetDisplayMode(record, &start);
  return 0;
}

}  // namespace

UInt32 FindBestDisplayMode(const DisplayRecord* record, SInt32* index, UInt32 depth, UInt32 width, UInt32 height,
                           UInt32 refresh) {
  SInt32 kept = -1;
  UInt32 keptDepth = 256;
  const UInt32 count = record ? record->modes.count : 0;
  auto fits = [&](const DisplayMode& m) { return m.width >= width && m.height >= height && m.refreshRate >= refresh; };
  for (UInt32 i = 0; i < count; ++i) {
    const DisplayMode& m = record->modes.data[i];
    const UInt32 best = BestDepth(m.depths, depth);
    if (best && fits(m) && best <= keptDepth) {
      keptDepth = best;
      kept = static_cast<SInt32>(i);
    }
  }
  if (kept < 0) {
    Store(index, -1);
    return 0;
  }
  UInt32 keptWidth = 0xFFFFFF, keptHeight = 0xFFFFFF;
  for (UInt32 i = 0; i < count; ++i) {
    const DisplayMode& m = record->modes.data[i];
    if (!(m.depths & keptDepth) || !fits(m)) continue;
    if (m.width - width <= keptWidth && m.height - height <= keptHeight) {
      keptWidth = m.width - width;
      keptHeight = m.height - height;
      kept = static_cast<SInt32>(i);
    }
  }
  const DisplayMode size = record->modes.data[kept];
  UInt32 keptRefresh = 0xFFFFFFFF;
  for (UInt32 i = 0; i < count; ++i) {
    const DisplayMode& m = record->modes.data[i];
    if (!(m.depths & keptDepth) || m.width != size.width || m.height != size.height) continue;
    if (m.refreshRate >= refresh && m.refreshRate <= keptRefresh) {
      keptRefresh = m.refreshRate;
      kept = static_cast<SInt32>(i);
    }
  }
  Store(index, kept);
  return keptDepth;
}

UInt8 SetDisplayMode(DisplayRecord* record, const void* mode) {
  if (!record || !mode) return 0;
  const UInt8 modern = DisplaysOnModernSystem();
  const DisplayManagerSeam& seam = GetDisplayManagerSeam();
  if (modern ? !DisplayFunctionsBound() : !seam.setMode) return 0;
  PushPort();
  if (GetFrontWindow()) SetCurrentPort(GetWindowManagerPort());
  SInt32 result;
  if (modern) {
    const UInt32 display = record->displayID;
    const bool captured = Bound<DisplayIsCapturedProc>(kIsCaptured)(display) != 0;
    bool capturedHere = false;
    if (IsFrontProcess() && !captured) capturedHere = Bound<DisplayCaptureProc>(kCapture)(display) == 0;
    result = Bound<DisplaySwitchToModeProc>(kSwitchToMode)(display, mode);
    if (capturedHere) Bound<DisplayCaptureProc>(kRelease)(display);
  } else {
    const auto* words = static_cast<const DisplayModeWords*>(mode);
    result = seam.setMode(record->device, words->words[0], words->words[1]);
  }
  PopPort();
  if (result != 0) return 0;
  record->modeChanged = 1;
  return 1;
}

UInt8 RestoreDisplayMode(DisplayRecord* record) { return SetDisplayMode(record, record->initialMode); }

UInt8 RestoreAllDisplayModes(NamedArray<DisplayRecord>* list) {
  UInt8 all = 1;
  for (UInt32 i = list ? list->count : 0; i-- > 0;)
    if (!RestoreDisplayMode(&list->data[i])) all = 0;
  return all;
}

UInt32 GetCurrentModeIndex(DisplayRecord* record, SInt32* index, UInt8* keep) {
  Store(index, -1);
  if (!record) return 0;
  if (DisplaysOnModernSystem()) {
    if (!DisplayFunctionsBound()) return 0;
    DisplayMode current;
    const void* dictionary = Bound<DisplayModeQueryProc>(kCurrentMode)(record->displayID);
    if (!dictionary || ReadDisplayMode(dictionary, &current) != 0) return 0;
    const SInt32 found = IndexOf(record, current);
    if (found < 0) return 0;
    Store(index, found);
    if (keep) *keep = 0;
    return current.depths;
  }
  const DisplayManagerSeam& seam = GetDisplayManagerSeam();
  DisplayModeWords current = {};
  if (!seam.currentMode || !seam.enumerateModes || seam.currentMode(record->device, &current) != 0) return 0;
  DisplayModeMatch match = {};
  match.wanted = current.words[0];
  if (seam.enumerateModes(record->device, current.words[0], MatchModeResolutionSlot, &match) != 0 || !match.matched)
    return 0;
  for (UInt32 i = 0; i < record->modes.count; ++i)
    if (record->modes.data[i].mode == current.words[0]) {
      Store(index, static_cast<SInt32>(i));
      if (keep) *keep = 0;
      return match.depth;
    }
  return 0;
}

UInt8 ConfirmDisplayMode(DisplayRecord* record) {
  SInt32 index = -1;
  GetCurrentModeIndex(record, &index, nullptr);
  if (index < 0 || static_cast<UInt32>(index) >= record->modes.count) return 0;
  if (record->modes.data[index].safe) return 1;
  ApplyGammaTable(CapturedGammaTable, nullptr);
  Str255 message;
  message[0] = static_cast<unsigned char>(sizeof kConfirmText - 1);
  std::memcpy(message + 1, kConfirmText, sizeof kConfirmText - 1);
  return RunDialogTextAlert(message, kConfirmWidth, kConfirmOption, kConfirmOption) == kAlertOK;
}

UInt8 SwitchDisplayMode(DisplayRecord* record, UInt32 word, SInt32* index) {
  if (!record || !index) return 0;
  const UInt8 depth = static_cast<UInt8>(word & 0xFF);
  if (*index == -1) GetCurrentModeIndex(record, index, nullptr);
  if (*index < 0 || static_cast<UInt32>(*index) >= record->modes.count) return 0;
  const DisplayMode wanted = record->modes.data[*index];
  if (DisplaysOnModernSystem()) return SwitchModern(record, depth, wanted);
  return SwitchOlder(record, word, depth, wanted);
}

SInt32 CaptureMainDisplay() {
  if (!DisplayFunctionsBound()) return 0;
  return Bound<DisplayCaptureProc>(kCapture)(FindDisplayIDForDevice(mainDEVICE));
}

SInt32 ReleaseMainDisplay() {
  if (!DisplayFunctionsBound()) return 0;
  return Bound<DisplayCaptureProc>(kRelease)(FindDisplayIDForDevice(mainDEVICE));
}

void MatchModeResolutionCallback(DisplayModeMatch* match, UInt32, const DisplayModeInfo* info) {
  if (!match || !info || info->resolutionID != match->wanted) return;
  match->matched = 1;
  match->depth = info->depthCount && info->depths ? info->depths[0].depthMode : 0;
}

void MatchModeDepthCallback(DisplayModeMatch* match, UInt32, const DisplayModeInfo* info) {
  if (!match || !info || !info->depths) return;
  for (UInt32 i = 0; i < info->depthCount; ++i)
    if (info->depths[i].depthMode == match->wanted) {
      match->matched = 1;
      std::memcpy(match->words, info->depths[i].words, sizeof match->words);
      return;
    }
}
