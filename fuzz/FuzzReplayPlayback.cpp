// Replay playback of untrusted data and sync files: the first byte splits the
// rest into the two files and picks the widths read between checkpoints.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Backend.h"
#include "DialogDefaults.h"
#include "NibWindows.h"
#include "Replay.h"
#include "ScriptedBackend.h"

namespace {

std::string WriteTemp(const char* tag, const uint8_t* data, size_t size) {
  std::string path = std::string(P_tmpdir) + "/fuzz-replay-" + tag + "-" + std::to_string(getpid());
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 1 << 16) return 0;
  static ScriptedBackend backend;  // divergence windows stay in memory
  static bool ready = [] {
    SetBackend(&backend);
    InitDialogDefaults();
    InitNibHandlers();
    return true;
  }();
  (void)ready;
  const uint8_t pattern = data[0];
  ++data;
  --size;
  const size_t split = size * (pattern & 0x0F) / 15;
  const std::string dataPath = WriteTemp("data", data, split);
  const std::string syncPath = WriteTemp("sync", data + split, size - split);

  InitReplay();
  if (OpenReplayPlayback(dataPath.c_str(), 0, syncPath.c_str(), 0) != 0) std::abort();
  StartPlayback();
  for (unsigned step = 0; Replay.mode == kReplayPlaying; ++step) {
    if (step > 8 * (1 << 16) + 8) std::abort();  // every read takes at least a bit
    switch ((pattern >> 4 >> (step & 3)) & 3) {
      case 0:
        ReplayBool(1);
        break;
      case 1:
        ReplayByte(1);
        break;
      case 2:
        ReplayShort(1);
        break;
      default:
        ReplayLong(1);
        break;
    }
    if (step % 5 == 0) ReplayCheckpoint("fuzz/Replay.cpp", static_cast<SInt32>(step), "Step");
  }
  ExitReplay();
  std::remove(dataPath.c_str());
  std::remove(syncPath.c_str());
  return 0;
}
