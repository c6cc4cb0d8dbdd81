// Layout property lists from untrusted files: whatever the list says, the
// frames it makes stay inside the registered sets, and the records after each
// set (sentinels) are never written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileSpec.h"
#include "Frame.h"
#include "Layout.h"
#include "Sys.h"

namespace {

struct SetSpec {
  const char* name;
  UInt8 count;
};
// Registered in this order; each block ends with a sentinel record.
constexpr SetSpec kSets[] = {{"\x06" "aFRAME", 4}, {"\x06" "bFRAME", 2}, {"\x06" "cFRAME", 1}};
constexpr int kSetCount = 3;

struct Fixture {
  Frame* blocks[kSetCount];
  unsigned char* sentinels[kSetCount];  // the sentinel's bytes as registered
  std::string folder;
  FileSpec spec;
};

// Alerts are expected by the hundred; fatal errors still show.
void QuietSink(const char* caption, const char* text, void*) {
  if (std::strncmp(text, "Error: ", 7) == 0) std::fprintf(stderr, "%s (%s)\n", text, caption);
}

Fixture* Setup() {
  static Fixture* fixture = nullptr;
  if (fixture) return fixture;
  fixture = new Fixture;
  SetMessageBoxSink(QuietSink, nullptr);
  const char* tmp = std::getenv("TMPDIR");
  char folder[512];
  std::snprintf(folder, sizeof folder, "%s/fuzz-layout-XXXXXX", tmp && std::strlen(tmp) < 200 ? tmp : "/tmp");
  if (!mkdtemp(folder)) std::abort();
  fixture->folder = folder;
  std::atexit([] {
    unlink((fixture->folder + "/Fuzz").c_str());
    rmdir(fixture->folder.c_str());
  });
  if (MakeFileSpecFromPath(folder, &fixture->spec) != noErr) std::abort();
  InitLayouts();
  for (int s = 0; s < kSetCount; ++s) {
    Frame* block = new Frame[kSets[s].count + 1];
    fixture->blocks[s] = block;
    frameLIST[frameSetCount++] = block;
    SetFrameArrayName(block, reinterpret_cast<const unsigned char*>(kSets[s].name));
    SetFrameArraySize(block, kSets[s].count);
    Frame* sentinel = &block[kSets[s].count];
    SetFrameArrayName(sentinel, reinterpret_cast<const unsigned char*>("\x08sentinel"));
    fixture->sentinels[s] = new unsigned char[sizeof(Frame)];
    std::memcpy(fixture->sentinels[s], sentinel, sizeof(Frame));
  }
  return fixture;
}

bool InBlocks(const Fixture* f, const Frame* frame) {
  for (int s = 0; s < kSetCount; ++s)
    if (frame >= f->blocks[s] && frame <= f->blocks[s] + kSets[s].count) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  Fixture* fixture = Setup();
  std::string path = fixture->folder + "/Fuzz";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  Layout layout;
  std::memcpy(layout.name, "\x04" "Fuzz", 5);
  ReadLayoutPlist(&layout, nullptr, &fixture->spec);

  for (int s = 0; s < kSetCount; ++s)
    if (std::memcmp(fixture->sentinels[s], &fixture->blocks[s][kSets[s].count], sizeof(Frame)) != 0) std::abort();
  // Records made outside the sets go back; those in the sets stay for the next run.
  for (Frame* frame = layout.firstFrame; frame;) {
    Frame* next = frame->next;
    if (!InBlocks(fixture, frame)) {
      DisposeFrame(frame);
      RemoveFrame(&layout, frame);
    }
    frame = next;
  }
  return 0;
}
