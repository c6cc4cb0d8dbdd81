// PNG files from untrusted sources: the bytes go to a file, which is read for
// both targets. A decoded block must be exactly the size the reader reports.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ImageBuff.h"
#include "PNGFiles.h"

namespace {

// One scratch file for the whole run, named once.
const char* ScratchPath() {
  static char path[256] = "";
  if (!path[0]) {
    const char* folder = std::getenv("TMPDIR");
    std::strcpy(path, folder && std::strlen(folder) < 200 ? folder : "/tmp");
    std::strcat(path, "/fuzz-png-XXXXXX");
    int fd = mkstemp(path);
    if (fd < 0) std::abort();
    close(fd);
    std::atexit([] { unlink(ScratchPath()); });
  }
  return path;
}

void Check(const char* path, UInt8 eightBit) {
  UInt32 width = 0, height = 0;
  UInt8 palette[kPNGPaletteBytes];
  SInt32 count = -1;
  UInt8* pixels = ReadPNGFile(path, &width, &height, eightBit, palette, &count);
  if (!pixels) {
    if (width || height) std::abort();
    return;
  }
  const size_t bytes = size_t{width} * height * (eightBit ? 1 : 4);
  if (!width || !height || size_t{width} * height > kPNGMaxPixels || count < 0 || count > 256) std::abort();
  // Reading every byte lets the sanitizer check the block's size.
  unsigned sum = 0;
  for (size_t i = 0; i < bytes; ++i) sum += pixels[i];
  if (sum == 0xFFFFFFFFu) std::abort();
  delete[] pixels;
}

// Rows exactly as long as asked for plus a padding of 4 bytes, in a block of
// their own, so a write past the last row is the sanitizer's to catch.
struct Rows {
  UInt8* block = nullptr;
  UInt32 width = 0;
  UInt32 height = 0;
};

UInt8* PlaceRows(void* context, UInt32 width, UInt32 height, size_t* stride) {
  Rows* rows = static_cast<Rows*>(context);
  *stride += 4;
  rows->block = static_cast<UInt8*>(std::malloc(*stride * height));
  rows->width = width;
  rows->height = height;
  return rows->block;
}

void CheckIntoRows(const char* path) {
  Rows rows;
  UInt32 width = 0, height = 0;
  const int done = ReadPNGFileIntoRows(path, PlaceRows, &rows, &width, &height);
  if (done && (width != rows.width || height != rows.height || !width || !height)) std::abort();
  if (!done && (width || height)) std::abort();
  std::free(rows.block);
}

// A buffer without a block (decoded in place) and a small one (cut at its
// edges, or decoded into in place).
void CheckImageBuffs(const char* path) {
  ImageBuff fresh{};
  if (LoadPNGIntoImageBuff(&fresh, path, 1.0f, 1) == 0) {
    if (!fresh.pixels || fresh.usedWidth > fresh.width || fresh.usedHeight > fresh.height) std::abort();
    FreeImageBuff(&fresh);
  } else if (fresh.pixels || fresh.width) {
    std::abort();
  }
  ImageBuff small{};
  AllocImageBuff(&small, 16, 16);
  LoadPNGIntoImageBuff(&small, path, 1.0f, 0);
  if (small.usedWidth > 16 || small.usedHeight > 16) std::abort();
  LoadPNGIntoClearedImageBuff(&small, path, 1);
  if (small.usedWidth > 16 || small.usedHeight > 16) std::abort();
  FreeImageBuff(&small);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const char* path = ScratchPath();
  int fd = open(path, O_WRONLY | O_TRUNC);
  if (fd < 0) std::abort();
  if (size && write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  close(fd);
  Check(path, 0);
  Check(path, 1);
  CheckIntoRows(path);
  CheckImageBuffs(path);
  UInt32 width = 0, height = 0;
  GetPNGFileSize(path, &width, &height);
  UInt8 palette[kPNGPaletteBytes];
  SInt32 count = 0;
  GetPNGFilePalette(path, palette, &count);
  return 0;
}
