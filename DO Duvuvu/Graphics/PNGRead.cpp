// Reading PNG files. Every file is untrusted: libpng's errors come back here
// through setjmp, sizes are checked in size_t before anything is allocated,
// and each step that can fail frees what the earlier ones made.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "PNGFiles.h"
#include "ResultCodes.h"

namespace {

constexpr size_t kReadBufferBytes = 256 * 1024;

void QuietWarning(png_structp, png_const_charp) {}

// libpng's default handler prints the message first; nothing is reported here.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// What one read owns: plain data only, since a longjmp skips destructors. The
// two blocks are made after setjmp, so they are volatile and a longjmp finds
// them as they were last set.
struct ReadJob {
  PNGRowPlacer place;  // nil: a block of our own
  void* placeContext;
  std::FILE* file;
  png_structp png;
  png_infop info;
  png_infop endInfo;
  png_bytep* volatile rows;
  UInt8* volatile pixels;
  size_t width;
  size_t height;
};

// 0, -43 or -1; on failure nothing stays open.
OSErr StartRead(ReadJob* job, const char* path, bool wantEndInfo) {
  job->place = nullptr;
  job->placeContext = nullptr;
  job->file = nullptr;
  job->png = nullptr;
  job->info = nullptr;
  job->endInfo = nullptr;
  job->rows = nullptr;
  job->pixels = nullptr;
  job->width = 0;
  job->height = 0;
  job->file = path ? std::fopen(path, "rb") : nullptr;
  if (!job->file) return kErrFileNotFound;
  // A decode reads the whole file and libpng asks for a chunk at a time: a
  // large buffer takes it in a call or two instead of one per 4 KB. Header
  // queries keep the small one.
  if (wantEndInfo) std::setvbuf(job->file, nullptr, _IOFBF, kReadBufferBytes);
  png_byte signature[8];
  bool isPNG = std::fread(signature, 1, 8, job->file) == 8 && png_sig_cmp(signature, 0, 8) == 0;
  if (isPNG) {
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (job->png) job->info = png_create_info_struct(job->png);
    if (job->png && wantEndInfo) job->endInfo = png_create_info_struct(job->png);
  }
  if (job->info && (job->endInfo || !wantEndInfo)) return noErr;
  if (job->png)
    png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, job->endInfo ? &job->endInfo : nullptr);
  std::fclose(job->file);
  job->file = nullptr;
  return kErrFailed;
}

void FinishRead(ReadJob* job) {
  png_bytep* rows = job->rows;
  delete[] rows;
  job->rows = nullptr;
  png_destroy_read_struct(&job->png, &job->info, job->endInfo ? &job->endInfo : nullptr);
  std::fclose(job->file);
  job->file = nullptr;
}

// Up to png_read_info, with libpng held to the engine's side limit.
void ReadHeader(ReadJob* job) {
  png_set_user_limits(job->png, kPNGMaxSide, kPNGMaxSide);
  png_init_io(job->png, job->file);
  png_set_sig_bytes(job->png, 8);
  png_read_info(job->png, job->info);
}

// The decode proper; libpng's errors leave it by longjmp. 1 done, 0 refused.
[[gnu::noinline]] int DecodeSteps(ReadJob* job, bool eightBit) {
  ReadHeader(job);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(job->png, job->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  if (bitDepth == 16) png_set_strip_16(job->png);
  if (!eightBit) {
    png_set_expand(job->png);
    png_set_gray_to_rgb(job->png);
    png_set_add_alpha(job->png, 0, PNG_FILLER_AFTER);
  } else {
    // One index or one grey level a byte, whatever the file packs.
    if (colorType == PNG_COLOR_TYPE_PALETTE)
      png_set_packing(job->png);
    else if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
      png_set_expand_gray_1_2_4_to_8(job->png);
    if (colorType != PNG_COLOR_TYPE_GRAY && colorType != PNG_COLOR_TYPE_GRAY_ALPHA &&
        colorType != PNG_COLOR_TYPE_PALETTE)
      png_set_rgb_to_gray(job->png, 1, 0.30, 0.59);
    png_set_strip_alpha(job->png);
  }
  double fileGamma = 0.0;
  if (png_get_gAMA(job->png, job->info, &fileGamma)) png_set_gamma(job->png, 2.0, fileGamma);
  png_set_interlace_handling(job->png);
  png_read_update_info(job->png, job->info);

  const size_t w = png_get_image_width(job->png, job->info);
  const size_t h = png_get_image_height(job->png, job->info);
  const size_t pixelBytes = eightBit ? 1 : 4;
  if (w == 0 || h == 0 || w > kPNGMaxSide || h > kPNGMaxSide || w * h > kPNGMaxPixels) return 0;
  const size_t rowBytes = w * pixelBytes;
  if (png_get_rowbytes(job->png, job->info) != rowBytes) return 0;

  png_bytep* rows = new png_bytep[h];
  job->rows = rows;
  UInt8* first = nullptr;
  size_t stride = rowBytes;
  if (job->place) {
    first = job->place(job->placeContext, static_cast<UInt32>(w), static_cast<UInt32>(h), &stride);
    if (!first || stride < rowBytes) return 0;
  } else {
    first = new UInt8[h * rowBytes];
    job->pixels = first;
  }
  for (size_t y = 0; y < h; ++y) rows[y] = first + y * stride;
  png_read_image(job->png, rows);
  png_read_end(job->png, job->endInfo);
  job->width = w;
  job->height = h;
  return 1;
}

// 1 with job->pixels filled, 0 after any library error or refusal. No
// locals: nothing here can be clobbered by the longjmp.
[[gnu::noinline]] int Decode(ReadJob* job, bool eightBit) {
  if (setjmp(png_jmpbuf(job->png))) return 0;
  return DecodeSteps(job, eightBit);
}

// Copies the PLTE entries (at most 256) and answers their count; 0 without.
SInt32 CopyPalette(ReadJob* job, UInt8* palette) {
  png_colorp entries = nullptr;
  int count = 0;
  if (!(png_get_PLTE(job->png, job->info, &entries, &count) & PNG_INFO_PLTE) || count <= 0) return 0;
  if (count > 256) count = 256;
  for (int i = 0; i < count; ++i) {
    palette[i * 3 + 0] = entries[i].red;
    palette[i * 3 + 1] = entries[i].green;
    palette[i * 3 + 2] = entries[i].blue;
  }
  return count;
}

[[gnu::noinline]] int QueryHeader(ReadJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return 0;
  ReadHeader(job);
  return 1;
}

}  // namespace

UInt8* ReadPNGFile(const char* path, UInt32* width, UInt32* height, UInt8 eightBit, UInt8* palette,
                   SInt32* paletteCount) {
  if (width) *width = 0;
  if (height) *height = 0;
  ReadJob job;
  if (StartRead(&job, path, true) != noErr) return nullptr;
  const int done = Decode(&job, eightBit != 0);
  UInt8* pixels = job.pixels;
  if (done && palette) {
    SInt32 count = CopyPalette(&job, palette);
    if (paletteCount) *paletteCount = count;
  }
  FinishRead(&job);
  if (!done) {
    delete[] pixels;
    return nullptr;
  }
  if (width) *width = static_cast<UInt32>(job.width);
  if (height) *height = static_cast<UInt32>(job.height);
  return pixels;
}

int ReadPNGFileIntoRows(const char* path, PNGRowPlacer place, void* context, UInt32* width, UInt32* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  if (!place) return 0;
  ReadJob job;
  if (StartRead(&job, path, true) != noErr) return 0;
  job.place = place;
  job.placeContext = context;
  const int done = Decode(&job, false);
  FinishRead(&job);
  if (!done) return 0;
  if (width) *width = static_cast<UInt32>(job.width);
  if (height) *height = static_cast<UInt32>(job.height);
  return 1;
}

OSErr GetPNGFileSize(const char* path, UInt32* width, UInt32* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  ReadJob job;
  OSErr err = StartRead(&job, path, false);
  if (err != noErr) return err;
  if (QueryHeader(&job)) {
    if (width) *width = png_get_image_width(job.png, job.info);
    if (height) *height = png_get_image_height(job.png, job.info);
  } else {
    err = kErrFailed;
  }
  FinishRead(&job);
  return err;
}

OSErr GetPNGFilePalette(const char* path, UInt8* palette, SInt32* count) {
  ReadJob job;
  OSErr err = StartRead(&job, path, false);
  if (err != noErr) return err;
  if (QueryHeader(&job)) {
    SInt32 entries = palette ? CopyPalette(&job, palette) : 0;
    if (count) *count = entries;
  } else {
    err = kErrFailed;
  }
  FinishRead(&job);
  return err;
}
