// PNG files for the tests, made with libpng directly (any depth and colour
// type) or chunk by chunk for hostile files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pngfixtures {

struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = 8;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  // Packed rows as the file stores them (16-bit samples big-endian).
  std::vector<uint8_t> rows;
  std::vector<uint8_t> palette;  // RGB triples
  double gamma = 0.0;            // 0: no gAMA chunk
};

// The whole file; bytes are exactly what libpng writes.
std::string Encode(const Image& image);

// One chunk: length, type, data and a correct CRC.
std::string Chunk(const char* type, const std::string& data);
std::string Signature();
// Signature and an IHDR claiming width x height (8-bit RGBA), one IDAT of a
// few zero rows' worth of data and IEND.
std::string ClaimingFile(uint32_t width, uint32_t height);

// Byte offset of the first chunk of that type (its length field), or npos.
size_t FindChunk(const std::string& file, const char* type);

}  // namespace pngfixtures
