// Replays a fuzz target over the files of its seed corpus (folders or files
// on the command line). An empty corpus fails, so a lost folder is noticed.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool IsFolder(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (dir) closedir(dir);
  return dir != nullptr;
}

void Collect(const std::string& path, std::vector<std::string>* files) {
  DIR* dir = opendir(path.c_str());
  if (!dir) {
    files->push_back(path);
    return;
  }
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string child = path + "/" + name;
    if (IsFolder(child))
      Collect(child, files);
    else
      files->push_back(child);
  }
  closedir(dir);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) Collect(argv[i], &files);
  int replayed = 0;
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++replayed;
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
