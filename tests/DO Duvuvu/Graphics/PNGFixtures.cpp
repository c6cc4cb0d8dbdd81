#include "PNGFixtures.h"

#include <png.h>
#include <zlib.h>

#include <stdexcept>

namespace pngfixtures {

namespace {

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

std::string BigEndian(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// A longjmp out of libpng skips destructors: the frames it crosses hold
// plain data only.
struct EncodeJob {
  const Image* image;
  std::string* out;
  png_bytep* rows;
  png_colorp entries;
  int entryCount;
};

[[gnu::noinline]] void EncodeSteps(png_structp png, png_infop info, const EncodeJob* job) {
  const Image& image = *job->image;
  png_set_write_fn(png, job->out, AppendToString, NoFlush);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (job->entryCount > 0) png_set_PLTE(png, info, job->entries, job->entryCount);
  if (image.gamma > 0.0) png_set_gAMA(png, info, image.gamma);
  png_write_info(png, info);
  png_write_image(png, job->rows);
  png_write_end(png, nullptr);
}

[[gnu::noinline]] int EncodeGuarded(png_structp png, png_infop info, const EncodeJob* job) {
  if (setjmp(png_jmpbuf(png))) return 0;
  EncodeSteps(png, info, job);
  return 1;
}

}  // namespace

std::string Encode(const Image& image) {
  std::string out;
  std::vector<png_color> entries;
  for (size_t i = 0; i + 2 < image.palette.size(); i += 3)
    entries.push_back({image.palette[i], image.palette[i + 1], image.palette[i + 2]});
  const size_t rowBytes = image.height ? image.rows.size() / image.height : 0;
  std::vector<png_bytep> rows;
  for (uint32_t y = 0; y < image.height; ++y)
    rows.push_back(const_cast<png_bytep>(image.rows.data()) + y * rowBytes);
  EncodeJob job = {&image, &out, rows.data(), entries.data(), static_cast<int>(entries.size())};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const int done = EncodeGuarded(png, info, &job);
  png_destroy_write_struct(&png, &info);
  if (!done) throw std::runtime_error("fixture could not be encoded");
  return out;
}

std::string Chunk(const char* type, const std::string& data) {
  std::string body = std::string(type, 4) + data;
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return BigEndian(static_cast<uint32_t>(data.size())) + body + BigEndian(static_cast<uint32_t>(crc));
}

std::string Signature() { return std::string("\x89PNG\r\n\x1a\n", 8); }

std::string ClaimingFile(uint32_t width, uint32_t height) {
  std::string ihdr = BigEndian(width) + BigEndian(height) + std::string("\x08\x06\x00\x00\x00", 5);
  std::string raw(4 * (1 + 4 * 4), '\0');
  std::string packed(compressBound(static_cast<uLong>(raw.size())), '\0');
  uLongf packedSize = static_cast<uLongf>(packed.size());
  compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  return Signature() + Chunk("IHDR", ihdr) + Chunk("IDAT", packed) + Chunk("IEND", "");
}

size_t FindChunk(const std::string& file, const char* type) {
  for (size_t at = 8; at + 8 <= file.size();) {
    const uint32_t length = (uint32_t(uint8_t(file[at])) << 24) | (uint32_t(uint8_t(file[at + 1])) << 16) |
                            (uint32_t(uint8_t(file[at + 2])) << 8) | uint32_t(uint8_t(file[at + 3]));
    if (file.compare(at + 4, 4, type) == 0) return at;
    at += 12 + size_t{length};
  }
  return std::string::npos;
}

}  // namespace pngfixtures
