// Loading PNG files into image buffers and drawing text, each beside the
// plain library doing the same work, timed alternately in the same run.
// Counters: ratio = ours / plain, limit = the most the ratio may be.
#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ImageBuff.h"
#include "PNGFiles.h"
#include "TextRender.h"

namespace {

using Clock = std::chrono::steady_clock;

// Times ours and plain alternately and reports their ratio.
template <typename Ours, typename Plain>
void Compare(benchmark::State& state, double limit, Ours ours, Plain plain) {
  Clock::duration oursTime{}, plainTime{};
  for (auto _ : state) {
    const auto a = Clock::now();
    ours();
    const auto b = Clock::now();
    plain();
    plainTime += Clock::now() - b;
    oursTime += b - a;
  }
  if (plainTime.count() > 0)
    state.counters["ratio"] = static_cast<double>(oursTime.count()) / static_cast<double>(plainTime.count());
  state.counters["limit"] = limit;
}

// 512 x 512 RGBA with soft gradients and some noise, in the temporary folder.
const std::string& SamplePNG() {
  static std::string path;
  if (path.empty()) {
    const char* folder = std::getenv("TMPDIR");
    path = std::string(folder && *folder ? folder : "/tmp") + "/images-bench-" + std::to_string(getpid()) + ".png";
    std::vector<UInt8> rgba;
    unsigned seed = 7;
    for (int y = 0; y < 512; ++y)
      for (int x = 0; x < 512; ++x) {
        seed = seed * 1103515245u + 12345u;
        rgba.insert(rgba.end(), {UInt8(x / 2), UInt8(y / 2), UInt8((x + y) / 4 + (seed >> 28)), UInt8(x ^ y)});
      }
    WritePNGFile(path.c_str(), rgba.data(), 512, 512, 0, nullptr, 0);
    std::atexit([] { std::remove(SamplePNG().c_str()); });
  }
  return path;
}

struct PlainDecode {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::FILE* file = nullptr;
  png_bytep* rows = nullptr;
  UInt8* pixels = nullptr;
};

[[gnu::noinline]] void PlainDecodeSteps(PlainDecode* job) {
  png_init_io(job->png, job->file);
  png_read_info(job->png, job->info);
  const size_t width = png_get_image_width(job->png, job->info);
  const size_t height = png_get_image_height(job->png, job->info);
  png_read_update_info(job->png, job->info);
  job->pixels = static_cast<UInt8*>(std::malloc(width * height * 4));
  job->rows = static_cast<png_bytep*>(std::malloc(height * sizeof(png_bytep)));
  for (size_t y = 0; y < height; ++y) job->rows[y] = job->pixels + y * width * 4;
  png_read_image(job->png, job->rows);
  png_read_end(job->png, nullptr);
}

[[gnu::noinline]] int PlainDecodeGuarded(PlainDecode* job) {
  if (setjmp(png_jmpbuf(job->png))) return 0;
  PlainDecodeSteps(job);
  return 1;
}

// What any program would write with libpng to decode an 8-bit RGBA file.
void DecodeWithLibpng(const char* path) {
  PlainDecode job;
  job.file = std::fopen(path, "rb");
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  job.info = png_create_info_struct(job.png);
  benchmark::DoNotOptimize(PlainDecodeGuarded(&job));
  benchmark::DoNotOptimize(job.pixels);
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  std::fclose(job.file);
  std::free(job.rows);
  std::free(job.pixels);
}

void LoadPNGIntoBuffer(benchmark::State& state) {
  const std::string& path = SamplePNG();
  static ImageBuff buffer{};
  if (!buffer.pixels) AllocImageBuff(&buffer, 1024, 1024);
  Compare(
      state, 1.3, [&] { benchmark::DoNotOptimize(LoadPNGIntoImageBuff(&buffer, path.c_str(), 1.0f, 1)); },
      [&] { DecodeWithLibpng(path.c_str()); });
}
BENCHMARK(LoadPNGIntoBuffer)->Unit(benchmark::kMillisecond);

constexpr char kLine[] = "The quick brown fox jumps over 1";  // 32 characters

// Loads and renders the same glyphs with FreeType alone, pen and all.
void RenderWithFreeType(FT_Face face) {
  FT_Set_Char_Size(face, 18 * 64, 0, 0, 0);
  FT_Matrix identity = {0x10000, 0, 0, 0x10000};
  FT_Vector pen = {20 * 64, (1024 - 100) * 64};
  for (const char* p = kLine; *p; ++p) {
    FT_Set_Transform(face, &identity, &pen);
    FT_Load_Glyph(face, FT_Get_Char_Index(face, static_cast<FT_ULong>(*p)), FT_LOAD_NO_BITMAP);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
    pen.x += face->glyph->advance.x;
  }
}

void DrawTextLine(benchmark::State& state) {
  InitTextRenderer();
  static FT_Face face = OpenFontFace(DUVUVU_DEJAVU_SANS);
  if (!face) {
    state.SkipWithError("no font");
    return;
  }
  static ImageBuff buffer{};
  if (!buffer.pixels) AllocImageBuff(&buffer, 1024, 1024);
  buffer.red = buffer.green = buffer.blue = buffer.alpha = 1.0f;
  Compare(
      state, 1.5, [&] { DrawTextToImage(&buffer, kLine, face, 18.0f, 20.0f, 100.0f, 0); },
      [&] { RenderWithFreeType(face); });
}
BENCHMARK(DrawTextLine)->Unit(benchmark::kMicrosecond);

}  // namespace
