// Ogg Vorbis files through libvorbisenc, byte-identical from run to run: the
// stream's serial number is a hash of the file's bundle name and no comment
// other than the encoder's own is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oggwriter {

// FNV-1a of the name, the serial number of its Ogg stream.
uint32_t SerialFor(const std::string& name);

// Encodes interleaved samples in -1..1 (frames = size / channels) at 44,100 Hz
// and writes them to path; the decoded stream holds exactly those frames.
// False with a message on stderr when the file cannot be written.
bool WriteOgg(const std::string& path, const std::string& name, int channels, const std::vector<float>& samples,
              float quality);

}  // namespace oggwriter
