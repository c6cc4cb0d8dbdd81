#include "FileManager.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ResultCodes.h"
#include "SafeSave.h"
#include "Sys.h"

namespace {

struct OpenFork {
  std::FILE* stream;
  std::string path;
  bool writable;
};

// Reference number -> open stream.
std::map<SInt16, OpenFork>* gOpenFiles = nullptr;

std::map<SInt16, OpenFork>& Forks() {
  if (!gOpenFiles) gOpenFiles = new std::map<SInt16, OpenFork>;
  return *gOpenFiles;
}

OpenFork* FindFork(SInt16 refNum) {
  auto found = Forks().find(refNum);
  return found == Forks().end() ? nullptr : &found->second;
}

[[noreturn]] void RefuseMode(const char* caption) {
  std::string text = std::string("\"") + caption + "\"";
  ShowMessageBox(caption, text.c_str());
  ExitProcess(1);
}

// A UTF-16 name as file-name bytes; -37 when it does not fit a FileSpec.
OSErr NameFromUnicode(UInt32 nameLength, const UInt16* name, std::string* out) {
  out->clear();
  if (nameLength > kMaxFileNameLength) return kErrBadName;
  UniStr255 units;
  units.length = static_cast<UInt16>(nameLength);
  std::memcpy(units.unicode, name, nameLength * sizeof(UInt16));
  unsigned char text[256];
  UniStr255ToPStr(units, text);
  *out = std::string(reinterpret_cast<const char*>(text + 1), text[0]).c_str();  // a 0 byte ends the name
  return noErr;
}

OSErr CreateInFolder(const FileSpec* folder, UInt32 nameLength, const UInt16* name, FileSpec* outSpec,
                     bool makeFolder) {
  char folderPath[kPathBufferSize];
  if (GetFileSpecPath(folder, folderPath, sizeof folderPath) != noErr) return kErrFailed;
  StripTrailingBackslashes(folderPath);
  std::string leaf;
  OSErr err = NameFromUnicode(nameLength, name, &leaf);
  if (err != noErr) return err;
  std::string path(folderPath);
  if (path.back() != '/') path += '/';
  path += leaf;
  if (path.size() >= kPathBufferSize) return kErrBadName;
  if (makeFolder) {
    if (mkdir(path.c_str(), 0777) != 0) return kErrFailed;
  } else {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return kErrFailed;
    std::fclose(file);
  }
  if (outSpec) MakeFileSpecFromPath(path.c_str(), outSpec);
  return noErr;
}

}  // namespace

struct FolderIterator {
  std::string folderPath;  // with a trailing '/'
  std::vector<std::string> names;
  size_t next;
};

OSErr OpenDataFork(const FileSpec* spec, UInt16, const UInt16*, SInt8 permission, SInt16* outRefNum) {
  *outRefNum = 0;
  char path[kPathBufferSize];
  if (GetFileSpecPath(spec, path, sizeof path) != noErr) return kErrFileNotFound;
  static const char* const kModes[4] = {"", "rb", "wb", "r+b"};
  int access = permission & 3;
  bool writable = (access & 2) != 0;
  std::FILE* stream = access ? std::fopen(path, kModes[access]) : nullptr;
  if (!stream && writable) {
    // A file that cannot be written is still opened for reading.
    stream = std::fopen(path, "rb");
    writable = false;
  }
  if (!stream) return kErrFileNotFound;
  std::map<SInt16, OpenFork>& forks = Forks();
  SInt16 refNum = 1;
  while (forks.count(refNum)) ++refNum;
  forks.emplace(refNum, OpenFork{stream, path, writable});
  *outRefNum = refNum;
  return noErr;
}

OSErr CloseFork(SInt16 refNum) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  std::fclose(fork->stream);
  Forks().erase(refNum);
  return noErr;
}

OSErr CloseFile(SInt16 refNum) { return CloseFork(refNum); }

OSErr ReadFork(SInt16 refNum, UInt32* count, void* buffer) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  std::fseek(fork->stream, 0, SEEK_CUR);  // stdio needs it between a write and a read
  *count = static_cast<UInt32>(std::fread(buffer, 1, *count, fork->stream));
  return noErr;
}

OSErr WriteFork(SInt16 refNum, UInt32* count, const void* buffer) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  UInt32 asked = *count;
  if (asked == 0) return noErr;
  std::fseek(fork->stream, 0, SEEK_CUR);
  *count = static_cast<UInt32>(std::fwrite(buffer, 1, asked, fork->stream));
  if (*count < asked) {
    std::clearerr(fork->stream);
    return kErrIO;
  }
  if (std::fflush(fork->stream) != 0) {
    std::clearerr(fork->stream);
    return kErrIO;
  }
  return noErr;
}

OSErr GetFileEOF(SInt16 refNum, UInt32* outLength) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  long position = std::ftell(fork->stream);
  std::fseek(fork->stream, 0, SEEK_END);
  long length = std::ftell(fork->stream);
  std::fseek(fork->stream, position, SEEK_SET);
  *outLength = length < 0 ? 0 : (length > static_cast<long>(UINT32_MAX) ? UINT32_MAX : static_cast<UInt32>(length));
  return noErr;
}

OSErr SetFPos(SInt16 refNum, SInt16 positionMode, SInt32 offset) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  if (positionMode != fsFromStart) RefuseMode("for now, the only posMode accepted for SetFPos is fsFromStart");
  if (std::fseek(fork->stream, offset, SEEK_SET) != 0) return kErrIO;
  return noErr;
}

OSErr SetEOF(SInt16 refNum, SInt32 length) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  if (length != 0) RefuseMode("for now, the only EOF accepted for SetEOF is 0");
  if (std::fflush(fork->stream) != 0 || ftruncate(fileno(fork->stream), 0) != 0) {
    std::clearerr(fork->stream);
    return kErrIO;
  }
  return noErr;
}

OSErr GetDataForkName(UniStr255* outName) {
  outName->length = 0;
  return noErr;
}

std::FILE* GetForkStream(SInt16 refNum) {
  OpenFork* fork = FindFork(refNum);
  return fork ? fork->stream : nullptr;
}

OSErr ReplaceForkContents(SInt16 refNum, const void* data, UInt32 size) {
  OpenFork* fork = FindFork(refNum);
  if (!fork) return kErrBadRefNum;
  if (!fork->writable) return kErrIO;
  if (SafeSaveBytes(fork->path.c_str(), data, size) != noErr) return kErrIO;
  std::FILE* stream = std::fopen(fork->path.c_str(), "r+b");
  if (!stream) return kErrIO;
  std::fseek(stream, 0, SEEK_END);
  std::fclose(fork->stream);
  fork->stream = stream;
  return noErr;
}

OSErr CreateFileInFolder(const FileSpec* folder, UInt32 nameLength, const UInt16* name, UInt32,
                         const FSCatalogInfo*, FileSpec* outSpec) {
  return CreateInFolder(folder, nameLength, name, outSpec, false);
}

OSErr CreateFolderInFolder(const FileSpec* folder, UInt32 nameLength, const UInt16* name, UInt32,
                           const FSCatalogInfo*, FileSpec* outSpec) {
  return CreateInFolder(folder, nameLength, name, outSpec, true);
}

OSErr FSGetCatalogInfo(const FileSpec* spec, UInt32 whichInfo, FSCatalogInfo* outInfo, UniStr255* outName,
                       FileSpec* outSpec) {
  char path[kPathBufferSize];
  if (GetFileSpecPath(spec, path, sizeof path) != noErr) path[0] = 0;
  if (outSpec) *outSpec = *spec;
  if (whichInfo & kFSCatInfoTextEncoding) {
    if (outInfo) outInfo->textEncodingHint = 0;
    if (outName) PStrToUniStr255(spec->name, outName);
  }
  if (outInfo) {
    if (whichInfo & kFSCatInfoNodeFlags) outInfo->nodeFlags = IsFolderPath(path) ? kFSNodeIsDirectoryMask : 0;
    if (whichInfo & kFSCatInfoVolume) outInfo->volume = GetPathVolume(path);
    if (whichInfo & kFSCatInfoNodeID) outInfo->nodeID = GetDirectoryID((std::string(path) + "/.").c_str());
  }
  return noErr;
}

OSErr IsAliasFile(const FileSpec* spec, Boolean* outAlias, Boolean* outFolder) {
  char path[kPathBufferSize];
  OSErr err = GetFileSpecPath(spec, path, sizeof path);
  if (outAlias) *outAlias = 0;
  if (outFolder) *outFolder = err == noErr ? IsFolderPath(path) : 0;
  return err;
}

OSErr ResolveAliasFile(FileSpec* spec, Boolean, Boolean* outFolder, Boolean* outAlias) {
  return IsAliasFile(spec, outAlias, outFolder);
}

OSErr OpenFolderIterator(const FileSpec* folder, UInt32, FolderIterator** outIterator) {
  *outIterator = nullptr;
  char path[kPathBufferSize];
  if (GetFileSpecPath(folder, path, sizeof path) != noErr) return kErrFileNotFound;
  DIR* dir = opendir(path);
  if (!dir) return kErrFileNotFound;
  FolderIterator* iterator = new FolderIterator;
  iterator->folderPath = path;
  if (iterator->folderPath.back() != '/') iterator->folderPath += '/';
  iterator->next = 0;
  std::vector<std::string> rest;
  while (dirent* entry = readdir(dir)) {
    std::string name(entry->d_name);
    if (name == "." || name == "..") continue;
    // A name a FileSpec cannot hold is passed over, never cut.
    if (name.size() > kMaxFileNameLength) continue;
    rest.push_back(name);
  }
  closedir(dir);
  std::sort(rest.begin(), rest.end());
  iterator->names.push_back(".");
  iterator->names.push_back("..");
  iterator->names.insert(iterator->names.end(), rest.begin(), rest.end());
  *outIterator = iterator;
  return noErr;
}

OSErr NextFolderItem(FolderIterator* iterator, UInt32, UInt32* outCount, Boolean* outChanged, UInt32,
                     FSCatalogInfo*, FSRef* outRef, FileSpec* outSpec) {
  if (!iterator) return kErrFileNotFound;
  OSErr result = noErr;
  size_t index = iterator->next;
  if (index < iterator->names.size()) {
    ++iterator->next;
  } else {
    result = kErrNoMoreItems;
    index = iterator->names.size() - 1;  // the outputs repeat the last entry
  }
  if (outCount) *outCount = result == noErr ? 1 : 0;
  if (outChanged) *outChanged = 0;
  if (outRef || outSpec) {
    std::string path = iterator->folderPath + iterator->names[index];
    FileSpec spec;
    MakeFileSpecFromPath(path.c_str(), &spec);
    if (outSpec) *outSpec = spec;
    if (outRef) outRef->spec = spec;
  }
  return result;
}

OSErr CloseFolderIterator(FolderIterator* iterator) {
  delete iterator;
  return noErr;
}

OSErr GetOpenFileInfoParamBlock(void*) { return noErr; }

OSErr FindFolderRef(SInt16, OSType, Boolean, FSRef*) { return kErrFileNotFound; }

int OpenForkCountForTesting() { return static_cast<int>(Forks().size()); }

void InitOpenFileMap() { Forks(); }

void ExitOpenFileMap() {
  // Files still open are not closed here, as the stdio streams go at exit.
  delete gOpenFiles;
  gOpenFiles = nullptr;
}
