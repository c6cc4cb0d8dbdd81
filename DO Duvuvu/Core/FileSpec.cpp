#include "FileSpec.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "RefObjects.h"
#include "ResultCodes.h"

namespace {

// Folder path -> ID, and ID -> path (index = ID). Never shrinks in a run.
struct DirectoryIDTable {
  std::map<std::string, UInt32> ids;
  std::vector<std::string> paths{std::string()};  // ID 0 is never handed out
};

DirectoryIDTable* gDirectoryIDs = nullptr;
FileSpec gDefaultDirectory;

DirectoryIDTable& Table() {
  if (!gDirectoryIDs) gDirectoryIDs = new DirectoryIDTable;
  return *gDirectoryIDs;
}

void ClearSpec(FileSpec* spec) {
  spec->vRefNum = 0;
  spec->parID = 0;
  spec->name[0] = 0;
}

void StripTrailing(std::string& path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
}

}  // namespace

char* StripTrailingBackslashes(char* path) {
  size_t n = std::strlen(path);
  while (n > 1 && path[n - 1] == '/') path[--n] = 0;
  return path;
}

char* CutLastPathComponent(char* path) {
  char* slash = std::strrchr(path, '/');
  if (!slash) return nullptr;
  if (slash == path) {
    // "/x" keeps the root.
    path[1] = 0;
    return path + 1;
  }
  *slash = 0;
  return slash;
}

Boolean IsAbsolutePath(const char* path) { return path && path[0] == '/'; }

const char* GetPathLeafName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (!slash) return path;
  if (slash == path && path[1] == 0) return nullptr;  // the root
  return slash + 1;
}

Boolean IsFolderPath(const char* path) {
  struct stat info;
  if (!path || stat(path, &info) != 0) return 0;
  return S_ISDIR(info.st_mode) ? 1 : 0;
}

bool GetFullPathName(const char* path, char* buffer, size_t size) {
  if (!path || !path[0] || size == 0) return false;
  std::string text;
  if (path[0] != '/') {
    char cwd[kPathBufferSize];
    if (!getcwd(cwd, sizeof cwd)) return false;
    text = cwd;
    text += '/';
  }
  text += path;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  if (result.empty()) result = "/";
  if (result.size() + 1 > size) return false;
  std::memcpy(buffer, result.c_str(), result.size() + 1);
  return true;
}

Boolean GetParentFolderPath(const char* path, char* buffer, size_t size) {
  if (!GetFullPathName(path, buffer, size)) return 0;
  CutLastPathComponent(buffer);
  return 1;
}

SInt16 GetPathVolume(const char*) { return 0; }

UInt32 GetLogicalDrives() { return 1; }

const char* GetVolumeRootPath(UInt32 volume) { return volume == 0 ? "/" : nullptr; }

UInt32 GetDirectoryID(const char* path) {
  std::string key(path ? path : "");
  StripTrailing(key);
  if (key != "/") {
    size_t slash = key.rfind('/');
    if (slash == 0)
      key = "/";
    else if (slash != std::string::npos)
      key.resize(slash);
  }
  DirectoryIDTable& table = Table();
  auto found = table.ids.find(key);
  if (found != table.ids.end()) return found->second;
  UInt32 id = static_cast<UInt32>(table.paths.size());
  table.ids.emplace(key, id);
  table.paths.push_back(key);
  return id;
}

const char* GetDirectoryPath(UInt32 directoryID) {
  DirectoryIDTable& table = Table();
  if (directoryID == 0 || directoryID >= table.paths.size()) return nullptr;
  return table.paths[directoryID].c_str();
}

OSErr MakeFileSpecC(SInt16 volume, UInt32 directoryID, const char* name, FileSpec* outSpec) {
  if (!name || std::strlen(name) >= kPathBufferSize) {
    ClearSpec(outSpec);
    return kErrBadName;
  }
  std::string path;
  if (IsAbsolutePath(name)) {
    char full[kPathBufferSize];
    if (!GetFullPathName(name, full, sizeof full)) {
      ClearSpec(outSpec);
      return kErrBadName;
    }
    path = full;
    volume = GetPathVolume(full);
  } else {
    if (volume != -1 && !(GetLogicalDrives() & (1u << (static_cast<UInt16>(volume) & 31)))) {
      ClearSpec(outSpec);
      return kErrNoSuchVolume;
    }
    const char* folder = GetDirectoryPath(directoryID);
    if (!folder) {
      ClearSpec(outSpec);
      return kErrDirNotFound;
    }
    path = folder;
    StripTrailing(path);
    if (path.empty() || path.back() != '/') path += '/';
    while (*name == '/') ++name;
    path += name;
    if (path.size() >= kPathBufferSize) {
      ClearSpec(outSpec);
      return kErrBadName;
    }
  }
  StripTrailing(path);
  const char* leaf = GetPathLeafName(path.c_str());
  size_t leafLength = leaf ? std::strlen(leaf) : 0;
  if (leafLength > kMaxFileNameLength) {
    // A cut name could name another file.
    ClearSpec(outSpec);
    return kErrBadName;
  }
  outSpec->parID = GetDirectoryID(path.c_str());
  outSpec->vRefNum = volume;
  outSpec->name[0] = static_cast<UInt8>(leafLength);
  if (leafLength) std::memcpy(outSpec->name + 1, leaf, leafLength);
  return noErr;
}

OSErr MakeFileSpec(SInt16 volume, UInt32 directoryID, ConstStr255Param name, FileSpec* outSpec) {
  char text[256];
  size_t length = name ? name[0] : 0;
  if (length) std::memcpy(text, name + 1, length);
  text[length] = 0;
  return MakeFileSpecC(volume, directoryID, text, outSpec);
}

OSErr MakeFileSpecFromPath(const char* path, FileSpec* outSpec, Boolean* outIsFolder) {
  if (outIsFolder) *outIsFolder = IsFolderPath(path);
  return MakeFileSpecC(0, 0, path, outSpec);
}

OSErr MakeFileSpecFromParamBlock(const FileSpecParamBlock* block) {
  FileSpec* result = block->result;
  result->vRefNum = block->vRefNum;
  result->parID = block->dirID;
  result->name[0] = 0;
  if (block->name) {
    size_t length = block->name[0] > 31 ? 31 : block->name[0];
    std::memcpy(result->name + 1, block->name + 1, length);
    result->name[0] = static_cast<UInt8>(length);
  }
  return noErr;
}

OSErr GetFileSpecPath(const FileSpec* spec, char* buffer, size_t size) {
  if (size) buffer[0] = 0;
  const char* folder = GetDirectoryPath(spec->parID);
  if (!folder || !folder[0]) return kErrFileNotFound;
  std::string path(folder);
  if (path.back() != '/') path += '/';
  path.append(reinterpret_cast<const char*>(spec->name + 1), spec->name[0]);
  if (path.size() + 1 > size) return kErrBadName;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  if (IsFolderPath(buffer)) StripTrailingBackslashes(buffer);
  return noErr;
}

OSErr CopyFileSpec(const FileSpec* source, FileSpec* destination) {
  *destination = *source;
  return noErr;
}

OSErr SetDefaultDirectory(ConstStr255Param, SInt16 volume, UInt32 directoryID) {
  static const unsigned char kDot[] = {1, '.'};
  FileSpec spec;
  OSErr err = MakeFileSpec(volume, directoryID, kDot, &spec);
  if (err == noErr) gDefaultDirectory = spec;
  return err;
}

OSErr GetDefaultDirectory(StringPtr outName, SInt16* outVolume, UInt32* outDirectoryID) {
  if (outName) outName[0] = 0;
  if (outVolume) *outVolume = gDefaultDirectory.vRefNum;
  if (outDirectoryID) *outDirectoryID = gDefaultDirectory.parID;
  return noErr;
}

void InitDefaultDirectory() {
  FileSpec executable;
  MakeFileSpecFromPath(GetAppExePath(), &executable);
  unsigned char root[256];
  const char* rootText = GetVolumeRootPath(static_cast<UInt32>(GetPathVolume(GetAppExePath())));
  root[0] = static_cast<UInt8>(std::strlen(rootText));
  std::memcpy(root + 1, rootText, root[0]);
  // Asks for directory ID 0, which never exists: the default stays zero
  // until the working folder is set.
  SetDefaultDirectory(root, 0, 0);
}

OSErr GetCatInfoParamBlock(CatInfoParamBlock* block) {
  if (block->index == 0) {
    char name[256];
    size_t length = block->name ? block->name[0] : 0;
    if (length) std::memcpy(name, block->name + 1, length);
    name[length] = 0;
    std::string path;
    if (IsAbsolutePath(name)) {
      char full[kPathBufferSize];
      if (!GetFullPathName(name, full, sizeof full)) return kErrFileNotFound;
      if (!GetPathLeafName(full)) return kErrFileNotFound;
      path = full;
    } else {
      const char* folder = GetDirectoryPath(block->dirID);
      if (!folder) return kErrFileNotFound;
      path = folder;
      if (path.empty() || path.back() != '/') path += '/';
      path += name;
      StripTrailing(path);
    }
    if (IsFolderPath(path.c_str())) {
      block->dirID = GetDirectoryID((path + "/.").c_str());
      block->parID = GetDirectoryID(path.c_str());
      block->attributes |= 16;
    } else {
      block->parID = GetDirectoryID(path.c_str());
      block->dirID = 0;
      block->attributes &= static_cast<UInt8>(~16);
    }
    if (block->name) {
      const char* leaf = GetPathLeafName(path.c_str());
      size_t leafLength = leaf ? std::strlen(leaf) : 0;
      if (leafLength > 255) leafLength = 255;
      std::memmove(block->name + 1, leaf ? leaf : "", leafLength);
      block->name[0] = static_cast<UInt8>(leafLength);
    }
    return noErr;
  }
  if (block->index == -1) {
    const char* folder = GetDirectoryPath(block->dirID);
    if (!folder) return kErrFileNotFound;
    FileSpec spec;
    OSErr err = MakeFileSpecC(0, 0, folder, &spec);
    if (err != noErr) return err;
    block->parID = spec.parID;
    if (block->name) std::memcpy(block->name, spec.name, spec.name[0] + 1u);
    block->attributes |= 16;
    return noErr;
  }
  return kErrFailed;
}

void InitDirectoryIDTable() {
  Table();
  ClearSpec(&gDefaultDirectory);
}

void ExitDirectoryIDTable() {
  delete gDirectoryIDs;
  gDirectoryIDs = nullptr;
  ClearSpec(&gDefaultDirectory);
}
