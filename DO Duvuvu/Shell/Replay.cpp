#include "Replay.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "AppCallbacks.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "Errors.h"
#include "NibWindows.h"
#include "Random.h"
#include "Strings.h"
#include "System.h"
#include "Windows.h"

ReplayObject Replay;
UInt8 ReplayWriteFailed = 0;

namespace {

constexpr OSType kQuitCommand = FOUR_CHAR_CODE("quit");

void CloseStreams() {
  if (Replay.data) std::fclose(Replay.data);
  if (Replay.sync) std::fclose(Replay.sync);
  Replay.data = nullptr;
  Replay.sync = nullptr;
}

void ResetBuffer() {
  if (Replay.chunkSize == 0) Replay.chunkSize = 1;
  Replay.bufferSize = std::max<UInt32>(Replay.chunkSize, 8);
  Replay.buffer.assign(Replay.bufferSize, 0);
  Replay.bitPosition = 0;
  Replay.loadedBits = 0;
  Replay.totalBits = 0;
}

void RunEndHook() {
  if (AppCallbacks.replayEnd) AppCallbacks.replayEnd();
}

// A recording whose bytes cannot reach the disk stops at once, so playback
// never runs out of step with what was really saved.
void FailRecording() {
  ReplayWriteFailed = 1;
  CloseStreams();
  Replay.mode = kReplayEnded;
  RunEndHook();
}

bool WriteAll(FILE* file, const void* bytes, size_t size) {
  return std::fwrite(bytes, 1, size, file) == size && std::fflush(file) == 0;
}

void PutBigEndian(UInt8* out, UInt32 value) {
  out[0] = static_cast<UInt8>(value >> 24);
  out[1] = static_cast<UInt8>(value >> 16);
  out[2] = static_cast<UInt8>(value >> 8);
  out[3] = static_cast<UInt8>(value);
}

UInt32 GetBigEndian(const UInt8* in) {
  return static_cast<UInt32>(in[0]) << 24 | static_cast<UInt32>(in[1]) << 16 | static_cast<UInt32>(in[2]) << 8 | in[3];
}

bool StreamBit(UInt32 p) { return (Replay.buffer[p >> 3] & (0x80 >> (p & 7))) != 0; }

void SetStreamBit(UInt32 p, bool on) {
  const UInt8 mask = static_cast<UInt8>(0x80 >> (p & 7));
  if (on) {
    Replay.buffer[p >> 3] |= mask;
  } else {
    Replay.buffer[p >> 3] &= static_cast<UInt8>(~mask);
  }
}

void DropFrontChunk() {
  const UInt32 chunk = Replay.chunkSize;
  std::memmove(Replay.buffer.data(), Replay.buffer.data() + chunk, Replay.bufferSize - chunk);
  std::fill(Replay.buffer.end() - chunk, Replay.buffer.end(), 0);
}

void AppendBits(UInt32 value, UInt32 n) {
  if (Replay.bitPosition + n > Replay.bufferSize * 8) FatalError("Replay buffer overrun.", "");
  for (UInt32 i = 0; i < n; ++i) SetStreamBit(Replay.bitPosition + i, (value >> i) & 1);
  Replay.bitPosition += n;
  Replay.totalBits += n;
  const UInt32 chunkBits = Replay.chunkSize * 8;
  while (static_cast<UInt32>(Replay.bitPosition) >= chunkBits) {
    if (!WriteAll(Replay.data, Replay.buffer.data(), Replay.chunkSize)) return FailRecording();
    Replay.dataLength += Replay.chunkSize;
    DropFrontChunk();
    Replay.bitPosition -= chunkBits;
  }
}

// False when the stream ran out (playback has then stopped).
bool ReadBits(UInt32 n, UInt32* outValue) {
  const UInt32 chunk = Replay.chunkSize, chunkBits = chunk * 8;
  while (static_cast<UInt32>(Replay.bitPosition) >= chunkBits && Replay.loadedBits >= chunkBits) {
    DropFrontChunk();
    Replay.bitPosition -= chunkBits;
    Replay.loadedBits -= chunkBits;
  }
  while (!Replay.endOfData && Replay.loadedBits / 8 + chunk <= Replay.bufferSize) {
    const size_t got = std::fread(Replay.buffer.data() + Replay.loadedBits / 8, 1, chunk, Replay.data);
    Replay.loadedBits += static_cast<UInt32>(got * 8);
    if (got < chunk) Replay.endOfData = 1;
  }
  if (Replay.bitPosition + n > Replay.loadedBits) {
    StopReplay();
    return false;
  }
  UInt32 value = 0;
  for (UInt32 i = 0; i < n; ++i)
    if (StreamBit(Replay.bitPosition + i)) value |= 1u << i;
  Replay.bitPosition += n;
  Replay.totalBits += n;
  *outValue = value;
  return true;
}

UInt32 ReplayBits(UInt32 value, UInt32 n) {
  if (Replay.mode == kReplayRecording) {
    AppendBits(value, n);
    return value;
  }
  if (Replay.mode == kReplayPlaying) {
    UInt32 played = 0;
    if (ReadBits(n, &played)) return played;
  }
  return value;
}

std::string BaseName(const char* path) {
  if (!path) return {};
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

std::string FormatSourcePlace(SInt32 line, const std::string& file) {
  return "\rLine #" + std::to_string(line) + "\r" + file + "()";
}

void ShowDivergence(const char* report) {
  const std::string text = report + FormatSourcePlace(Replay.previousLine, Replay.previousFile) +
                           FormatSourcePlace(Replay.lastLine, Replay.lastFile);
  Str255 message;
  CToPStr(text.substr(0, 255).c_str(), message);
  const Rect rect = CenterDialogRect(408, 152, 0);
  const unsigned char untitled[1] = {0};
  WindowRef window = NewDialogWindow(rect, untitled, 0);
  Rect r = DialogButtonRect(rect, 0);
  SetDefaultButton(AddDialogItem(window, &r, kItemPushButton, PStr("OK").GetPtr(), 0, 0, 1), 1);
  r = DialogButtonRect(rect, 1);
  gSystemCalls.setControlCommandID(AddDialogItem(window, &r, kItemPushButton, PStr("Quit").GetPtr(), 0, 0, 1),
                                    kQuitCommand);
  r = DialogTextRect(rect);
  AddDialogItem(window, &r, kItemStaticText, message, 0, 0, 0);
  const OSType result = RunModalNibWindow(window, nullptr, 0);
  if (window) DisposeWindowRef(window);
  if (result == kQuitCommand) ExitProgram();
}

void SyncCheck() {
  if (!Replay.sync) return;
  UInt8 record[8];
  if (Replay.mode == kReplayRecording) {
    PutBigEndian(record, RandomSeed);
    PutBigEndian(record + 4, Replay.totalBits);
    if (!WriteAll(Replay.sync, record, sizeof record)) FailRecording();
    return;
  }
  if (Replay.mode != kReplayPlaying) return;
  // A short record cannot be compared: it only ends the comparing.
  if (std::fread(record, 1, sizeof record, Replay.sync) != sizeof record) {
    Replay.compareNoMore = 1;
    return;
  }
  if (Replay.endOfData || Replay.compareNoMore) return;
  const char* report = nullptr;
  if (GetBigEndian(record + 4) != Replay.totalBits) {
    report = "Replay spot is out of sync!\r\r";
  } else if (GetBigEndian(record) != RandomSeed) {
    report = "Replay seed is out of sync!\r\r";
  }
  if (!report) return;
  Replay.compareNoMore = 1;
  ShowDivergence(report);
}

bool Busy() { return Replay.mode == kReplayRecording || Replay.mode == kReplayPlaying; }

void SetIdle() {
  CloseStreams();
  Replay.mode = kReplayIdle;
  Replay.endOfData = 0;
  Replay.compareNoMore = 0;
}

}  // namespace

void InitReplay() {
  CloseStreams();
  Replay = ReplayObject{};
  ReplayWriteFailed = 0;
}

void ExitReplay() {
  if (Replay.mode == kReplayRecording) StopReplay();
  SetIdle();
}

SInt32 OpenReplayRecording(const char* dataPath, const char* syncPath) {
  if (Busy()) return -1;
  SetIdle();
  Replay.data = std::fopen(dataPath, "ab");
  if (!Replay.data) return -1;
  if (syncPath) {
    Replay.sync = std::fopen(syncPath, "ab");
    if (!Replay.sync) {
      CloseStreams();
      return -1;
    }
  }
  Replay.dataPath = dataPath;
  Replay.syncPath = syncPath ? syncPath : "";
  return 0;
}

SInt32 OpenReplayPlayback(const char* dataPath, long dataOffset, const char* syncPath, long syncOffset) {
  if (Busy()) return -1;
  SetIdle();
  Replay.data = std::fopen(dataPath, "rb");
  if (!Replay.data || std::fseek(Replay.data, dataOffset, SEEK_SET) != 0) {
    CloseStreams();
    return -1;
  }
  if (syncPath) {
    Replay.sync = std::fopen(syncPath, "rb");
    if (!Replay.sync || std::fseek(Replay.sync, syncOffset, SEEK_SET) != 0) {
      CloseStreams();
      return -1;
    }
  }
  Replay.dataPath = dataPath;
  Replay.syncPath = syncPath ? syncPath : "";
  return 0;
}

long ReplayDataStart() { return Replay.dataStart; }
long ReplaySyncStart() { return Replay.syncStart; }

void StartRecording() {
  if (Replay.mode != kReplayIdle || !Replay.data) return;
  if (AppCallbacks.replayStart) AppCallbacks.replayStart();
  Replay.mode = kReplayRecording;
  ReplayWriteFailed = 0;
  std::fseek(Replay.data, 0, SEEK_END);
  Replay.dataStart = std::ftell(Replay.data);
  Replay.dataLength = static_cast<UInt32>(std::max(Replay.dataStart, 0L));
  if (Replay.sync) {
    std::fseek(Replay.sync, 0, SEEK_END);
    Replay.syncStart = std::ftell(Replay.sync);
  }
  ResetBuffer();
  Replay.seed = RandomSeed;
  UInt8 bytes[4];
  PutBigEndian(bytes, Replay.seed);
  if (!WriteAll(Replay.data, bytes, sizeof bytes)) return FailRecording();
  Replay.dataLength += 4;
}

void StartPlayback() {
  if (!Replay.data) FatalError("Must load a replay first", "");
  if (Replay.mode != kReplayIdle) return;
  if (AppCallbacks.replayStart) AppCallbacks.replayStart();
  Replay.mode = kReplayPlaying;
  Replay.endOfData = 0;
  Replay.compareNoMore = 0;
  ResetBuffer();
  UInt8 bytes[4];
  if (std::fread(bytes, 1, sizeof bytes, Replay.data) != sizeof bytes) {
    // A seed cut short is no recording: end before anything is played.
    Replay.mode = kReplayEnded;
    RunEndHook();
    return;
  }
  Replay.seed = GetBigEndian(bytes);
  RandomSeed = Replay.seed;
}

void StopReplay() {
  if (Replay.mode == kReplayIdle || Replay.mode == kReplayEnded) return;
  if (Replay.mode == kReplayRecording) {
    bool ok = true;
    if (Replay.bitPosition > 0) {
      ok = WriteAll(Replay.data, Replay.buffer.data(), Replay.chunkSize);
      if (ok) Replay.dataLength += Replay.chunkSize;
    }
    for (FILE* file : {Replay.data, Replay.sync})
      if (file && ok) ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    if (!ok) ReplayWriteFailed = 1;
    CloseStreams();
  }
  Replay.mode = kReplayEnded;
  RunEndHook();
}

UInt32 ReplayLong(UInt32 value) { return ReplayBits(value, 32); }
UInt16 ReplayShort(UInt16 value) { return static_cast<UInt16>(ReplayBits(value, 16)); }
UInt8 ReplayByte(UInt8 value) { return static_cast<UInt8>(ReplayBits(value, 8)); }
Boolean ReplayBool(Boolean value) { return static_cast<Boolean>(ReplayBits(value ? 1 : 0, 1)); }

void ReplayCheckpoint(const char* sourcePath, SInt32 line, const char*) {
  Replay.previousFile = Replay.lastFile;
  Replay.previousLine = Replay.lastLine;
  Replay.lastFile = BaseName(sourcePath);
  Replay.lastLine = line;
  SyncCheck();
}

UInt32 GetRecordedKilobytes() { return Replay.dataLength / 1024; }

namespace {

Point ReplayPoint(Point p) {
  p.h = static_cast<SInt16>(ReplayShort(static_cast<UInt16>(p.h)));
  p.v = static_cast<SInt16>(ReplayShort(static_cast<UInt16>(p.v)));
  return p;
}

}  // namespace

Point ReplayAccumulatedMouse() { return ReplayPoint(GetAccumulatedMouse()); }

Point ReplayLocalMouse() {
  Point p{};
  GetMouseLocal(&p);
  return ReplayPoint(p);
}

UInt8 ReplayMouseState(MouseState* outState) {
  const UInt8 button = GetMouseState(outState);
  const bool room = Replay.mode != kReplayRecording ||
                    Replay.bufferSize * 8 - static_cast<UInt32>(Replay.bitPosition) >= 33;
  if (!room) return button;
  outState->where = ReplayPoint(outState->where);
  outState->button = ReplayBool(outState->button);
  return outState->button;
}

Boolean ReplayMouseButton() { return ReplayBool(MouseButtonWasPressed()); }

Boolean ReplayEventHasModifier(SInt16 modifier, const EventRec* record) {
  return ReplayBool(EventHasModifier(modifier, record));
}

Boolean ReplayKeyRepeat(SInt16 keyCode) { return ReplayBool(IsKeyRepeatEvent(keyCode)); }

Boolean ReplayKeyDown(SInt16 keyCode, SInt16 modifier, const EventRec* record) {
  return ReplayBool(IsKeyDownEvent(keyCode, modifier, record));
}

Boolean ReplayKeyWasPressed(UInt8 keyCode, const char* sourcePath, SInt32 line, const char* function) {
  const Boolean pressed = ReplayBool(KeyWasPressed(keyCode));
  ReplayCheckpoint(sourcePath, line, function);
  return pressed;
}
