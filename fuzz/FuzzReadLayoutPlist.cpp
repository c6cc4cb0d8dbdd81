// Layout property lists from untrusted files: whatever the list says, the
// frames it makes stay inside the registered sets, the records after each set
// (sentinels) are never written, and the list holds no more frames than a
// layout may. Then the sheet's image step: a frame gets
// a texture exactly when its bounds lie inside the loaded image.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FileSpec.h"
#include "Frame.h"
#include "Layout.h"
#include "PNGFiles.h"
#include "Sys.h"

// Texture uploads stand in for the driver's: no GL context is needed, and
// every pixel the driver would read is read here, where the sanitizer sees it.
namespace {
GLuint lastTextureName = 0;
GLint unpackRowLength = 0;
}  // namespace

void glGenTextures(GLsizei n, GLuint* textures) {
  for (GLsizei i = 0; i < n; ++i) textures[i] = ++lastTextureName;
}
void glBindTexture(GLenum, GLuint) {}
void glPixelStorei(GLenum pname, GLint param) {
  if (pname == GL_UNPACK_ROW_LENGTH) unpackRowLength = param;
}
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*) {}
void glTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei width, GLsizei height, GLenum, GLenum type,
                     const void* pixels) {
  if (!pixels || width <= 0 || height <= 0) return;
  const size_t pixelBytes = type == GL_UNSIGNED_SHORT_1_5_5_5_REV ? 2 : 4;
  const size_t stride = (unpackRowLength > 0 ? static_cast<size_t>(unpackRowLength) : size_t(width)) * pixelBytes;
  const auto* bytes = static_cast<const volatile unsigned char*>(pixels);
  unsigned sum = 0;
  for (GLsizei row = 0; row < height; ++row)
    for (size_t i = 0; i < size_t(width) * pixelBytes; ++i) sum += bytes[size_t(row) * stride + i];
  if (sum == 0xFFFFFFFFu) std::abort();
}

namespace {

// The sheet every list is cut from.
constexpr int kSheetWidth = 48;
constexpr int kSheetHeight = 40;

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
    unlink((fixture->folder + "/Sheet.png").c_str());
    rmdir(fixture->folder.c_str());
  });
  if (MakeFileSpecFromPath(folder, &fixture->spec) != noErr) std::abort();
  std::vector<UInt32> pixels(size_t{kSheetWidth} * kSheetHeight);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<UInt32>(i * 2654435761u) | 0xFF000000u;
  if (WritePNGFile((fixture->folder + "/Sheet.png").c_str(), pixels.data(), kSheetWidth, kSheetHeight, 0, nullptr,
                   0) != 1)
    std::abort();
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

bool InsideSheet(const Rect& r) {
  return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= kSheetWidth &&
         r.bottom <= kSheetHeight;
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
  if (ReadLayoutPlist(&layout, nullptr, &fixture->spec)) {
    if (LoadLayoutImage(&layout, (fixture->folder + "/Sheet").c_str(), 1) != 0) std::abort();
    for (Frame* frame = layout.firstFrame; frame; frame = frame->next)
      if ((frame->image.textureName != 0) != InsideSheet(frame->bounds)) std::abort();
  }

  for (int s = 0; s < kSetCount; ++s)
    if (std::memcmp(fixture->sentinels[s], &fixture->blocks[s][kSets[s].count], sizeof(Frame)) != 0) std::abort();
  // The whole list is held until here, so its cost shows in the run; the list
  // is counted by walking it, since its 16-bit count could wrap.
  UInt32 frames = 0;
  for (Frame* frame = layout.firstFrame; frame; frame = frame->next) ++frames;
  if (frames > kMostFramesInALayout || frames != layout.frameCount) std::abort();
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
