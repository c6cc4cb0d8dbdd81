// Writing PNG files. The file is written beside the target and replaces it
// only when complete, so a failed write leaves the old file whole.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "PNGFiles.h"
#include "SafeSave.h"

namespace {

void QuietWarning(png_structp, png_const_charp) {}

[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Plain data only, since a longjmp skips destructors; the row block is made
// after setjmp, so it is volatile.
struct WriteJob {
  std::FILE* file;
  png_structp png;
  png_infop info;
  png_bytep* volatile rows;
  const UInt8* pixels;
  UInt32 width;
  UInt32 height;
  bool eightBit;
  const UInt8* palette;
  SInt32 paletteCount;
};

[[gnu::noinline]] void EncodeSteps(WriteJob* job) {
  png_structp png = job->png;
  png_init_io(png, job->file);
  png_set_compression_level(png, 9);
  png_set_compression_mem_level(png, 8);
  png_set_compression_strategy(png, 0);
  png_set_compression_window_bits(png, 15);
  png_set_compression_method(png, 8);
  int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  if (job->eightBit) colorType = job->palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_GRAY;
  // Refuses a zero or over-large side before any row is allocated.
  png_set_IHDR(png, job->info, job->width, job->height, 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (job->eightBit && job->palette) {
    png_color entries[256];
    const SInt32 count = job->paletteCount;
    if (count < 1 || count > 256) png_error(png, "bad palette size");
    for (SInt32 i = 0; i < count; ++i) {
      entries[i].red = job->palette[i * 3 + 0];
      entries[i].green = job->palette[i * 3 + 1];
      entries[i].blue = job->palette[i * 3 + 2];
    }
    png_set_PLTE(png, job->info, entries, count);
  }
  png_write_info(png, job->info);
  png_write_flush(png);
  const size_t rowBytes = size_t{job->width} * (job->eightBit ? 1 : 4);
  png_bytep* rows = new png_bytep[job->height];
  job->rows = rows;
  for (size_t y = 0; y < job->height; ++y) rows[y] = const_cast<UInt8*>(job->pixels) + y * rowBytes;
  png_write_image(png, rows);
  png_write_end(png, nullptr);
}

// 1 written, 0 after a library error. No locals: nothing can be clobbered.
[[gnu::noinline]] int Encode(WriteJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return 0;
  EncodeSteps(job);
  return 1;
}

}  // namespace

UInt8 WritePNGFile(const char* path, const void* pixels, UInt32 width, UInt32 height, UInt8 eightBit,
                   const UInt8* palette, SInt32 paletteCount) {
  if (!path || !pixels) return 0;
  SafeSave save;
  WriteJob job;
  job.file = save.Open(path);
  if (!job.file) return 0;
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  job.info = job.png ? png_create_info_struct(job.png) : nullptr;
  job.rows = nullptr;
  job.pixels = static_cast<const UInt8*>(pixels);
  job.width = width;
  job.height = height;
  job.eightBit = eightBit != 0;
  job.palette = palette;
  job.paletteCount = paletteCount;
  const int done = job.info ? Encode(&job) : 0;
  png_bytep* rows = job.rows;
  delete[] rows;
  if (job.png) png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
  if (!done) return 0;  // the save abandons the temporary file
  return save.Commit() == noErr ? 1 : 0;
}
