#include "FileClass.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "Bundle.h"
#include "Errors.h"
#include "Lists.h"
#include "Memory.h"
#include "ProcessBundle.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "Sys.h"

FileClass gApplicationFile;
FileClass gLaunchFile;
FileClass gApplicationFolder;
FileClass gApplicationDataFolder;
FileClass gResourcesFolder;
FileClass gSaveFolder;
FileClass gSpareFileClass;

namespace {

constexpr int kMaxUniqueNameTries = 10000;

struct WorkingFolder {
  std::string path;
  FSRef reference;
};

PtrList<FileClass>* gOpenFileClasses = nullptr;
std::vector<WorkingFolder>* gWorkingFolders = nullptr;
bool gApplicationFoldersDone = false;

PtrList<FileClass>& OpenFileClasses() {
  if (!gOpenFileClasses) gOpenFileClasses = new PtrList<FileClass>;
  return *gOpenFileClasses;
}

std::vector<WorkingFolder>& WorkingFolders() {
  if (!gWorkingFolders) gWorkingFolders = new std::vector<WorkingFolder>;
  return *gWorkingFolders;
}

std::string PText(ConstStr255Param text) {
  return text ? std::string(reinterpret_cast<const char*>(text + 1), text[0]) : std::string();
}

void SetPText(StringPtr out, const std::string& text, size_t limit) {
  size_t length = text.size() < limit ? text.size() : limit;
  std::memcpy(out + 1, text.data(), length);
  out[0] = static_cast<UInt8>(length);
}

std::string SpecName(const FileSpec* spec) { return PText(spec->name); }

OSType FinderWord(const UInt8* bytes) {
  return (static_cast<OSType>(bytes[0]) << 24) | (static_cast<OSType>(bytes[1]) << 16) |
         (static_cast<OSType>(bytes[2]) << 8) | bytes[3];
}

bool CodeMatches(OSType wanted, OSType have) { return wanted == kAnyFileType || wanted == have; }

// Walks a folder's items; "." and "..", the folder and its parent, are not
// items of it and are passed over.
class FolderScan {
 public:
  explicit FolderScan(const FileClass* folder) {
    if (OpenFolderIterator(folder->spec(), 0, &iterator_) != noErr) iterator_ = nullptr;
  }
  ~FolderScan() {
    if (iterator_) CloseFolderIterator(iterator_);
  }
  FolderScan(const FolderScan&) = delete;
  FolderScan& operator=(const FolderScan&) = delete;

  bool Next(FSRef* outRef) {
    if (!iterator_) return false;
    while (NextFolderItem(iterator_, 1, nullptr, nullptr, kFSCatInfoNodeFlags | kFSCatInfoFinderInfo, nullptr,
                          outRef, nullptr) == noErr) {
      if (++seen_ > 2) return true;
    }
    return false;
  }

 private:
  FolderIterator* iterator_ = nullptr;
  int seen_ = 0;
};

[[noreturn]] void FatalNamed(const char* before, const std::string& name, const char* after, const char* location) {
  std::string message = before + name + after;
  FatalError(message.c_str(), location);
}

}  // namespace

// Records ------------------------------------------------------------------------

void FileClass::Clear(FileClass* file) {
  if (!file) return;
  file->isOpen = 0;
  file->isOpen2 = 0;
  file->isFolder = 0;
  file->isAlias = 0;
  file->state = 0;
  file->isValid = 0;
}

FileClass* FileClass::Copy(FileClass* destination, const FileClass* source) {
  if (destination == source) return destination;
  destination->reference = source->reference;
  destination->forkRefNum = source->forkRefNum;
  std::memcpy(destination->finderInfo, source->finderInfo, sizeof destination->finderInfo);
  destination->isOpen = source->isOpen;
  destination->isOpen2 = source->isOpen2;
  destination->isFolder = source->isFolder;
  destination->isAlias = source->isAlias;
  destination->state = source->state;
  destination->isValid = source->isValid;
  return destination;
}

OSErr FileClass::SetFolder(FileClass* file) {
  file->isFolder = 1;
  file->isValid = 1;
  return GetSubDirectory(file);
}

OSErr GetSubDirectory(FileClass* file) {
  if (!file->isFolder) FatalError("The FileClass is not a folder.", "GetSubDirectory()");
  return noErr;
}

Boolean FileExists(const FileClass* file) { return FileExists(file->spec()); }

Boolean FileExists(const FileSpec* spec) { return FSGetCatalogInfo(spec, 0, nullptr, nullptr, nullptr) == noErr; }

FileClass* FileClassFromPath(FileClass* file, const char* path) {
  FileClass::Clear(file);
  return FileClassSetPath(file, path);
}

FileClass* FileClassSetPath(FileClass* file, const char* path) {
  MakeFileSpecFromPath(path, file->spec());
  return file;
}

void GetFilePath(char* outPath, const FileSpec* spec, size_t size) {
  if (GetFileSpecPath(spec, outPath, size) != noErr && size) outPath[0] = 0;
}

OSErr GetItemName(const FileSpec* spec, StringPtr outName) {
  UniStr255 name;
  OSErr err = FSGetCatalogInfo(spec, kFSCatInfoTextEncoding, nullptr, &name, nullptr);
  if (err != noErr) return err;
  return UniStr255ToPStr(name, outName);
}

OSErr GetFileInfo(FileClass* file, UInt32* outFinderWords) {
  Boolean isFolder = 0;
  Boolean isAlias = 0;
  OSErr err = ResolveAliasFile(file->spec(), 1, &isFolder, &isAlias);
  file->isFolder = isFolder;
  file->isAlias = isAlias;
  if (err != noErr) return err;
  FSGetCatalogInfo(file->spec(), kFSCatInfoFinderInfo, &file->catalogInfo, nullptr, nullptr);
  if (outFinderWords) {
    outFinderWords[0] = FinderWord(file->finderInfo);
    outFinderWords[1] = FinderWord(file->finderInfo + 4);
  }
  if (file->isFolder) GetSubDirectory(file);
  return noErr;
}

OSErr GetParentFolder(const FileClass* file, FileSpec* outSpec) {
  char path[kPathBufferSize];
  GetFilePath(path, file->spec(), sizeof path);
  return GetParentFolderOfPath(path, outSpec);
}

OSErr GetParentFolderOfPath(const char* path, FileSpec* outSpec) {
  std::string parent = std::string(path) + "/..";
  return MakeFileSpecFromPath(parent.c_str(), outSpec);
}

OSErr GetParentFolderClass(const FileClass* file, FileClass* outFolder) {
  OSErr err = GetParentFolder(file, outFolder->spec());
  FileClass::SetFolder(outFolder);
  return err;
}

// Opening --------------------------------------------------------------------------

OSErr FileClass::Open(FileClass* file, Boolean readWrite) {
  if (!file) return 1;
  if (file->isOpen) return noErr;
  UniStr255 forkName;
  GetDataForkName(&forkName);
  SInt16 refNum = 0;
  OSErr err = OpenDataFork(file->spec(), forkName.length, forkName.unicode, readWrite ? fsRdWrPerm : fsRdPerm,
                           &refNum);
  file->forkRefNum = refNum;
  if (err != noErr) return err;
  if (refNum == -1) return kErrFailed;
  file->isOpen = 1;
  file->isValid = 1;
  OpenFileClasses().AddValue(file);
  return noErr;
}

OSErr FileClass::Close(FileClass* file) {
  if (!file) return 1;
  if (!file->isOpen) return noErr;
  OSErr err = CloseFork(file->forkRefNum);
  if (err != noErr) return err;
  file->isOpen = 0;
  file->isValid = 0;
  OpenFileClasses().RemoveValue(file);
  return noErr;
}

OSErr FileClass::CloseAndFlush(FileClass* file) {
  OSErr err = Close(file);
  if (err != noErr) return err;
  return noErr;  // the volume flush has nothing to do here
}

OSErr FileClass::CloseAndReset(FileClass* file) {
  OSErr err = Close(file);
  Copy(file, &gApplicationFile);
  return err;
}

OSErr OpenBundleResourceFile(FileClass* file) {
  URLObject* url = CreateURLFromFileSpec(nullptr, file->spec());
  BundleObject* bundle = url ? CreateBundleObject(nullptr, url) : nullptr;
  ReleaseObject(url);
  if (!bundle) FatalError("Couldn't create bundle ref.", "OpenBundleResourceFile()");
  // There is no resource map to open on this platform.
  ReleaseObject(bundle);
  file->isOpen = 1;
  OpenFileClasses().AddValue(file);
  return noErr;
}

OSErr SavePictFile(Handle picture, ConstStr255Param name, FileClass* folder) {
  if (!picture) FatalError("The picHandle is nil", "SavePictFile()");
  unsigned char fileName[256];
  std::string text = PText(name) + ".pct";
  SetPText(fileName, text, 255);
  Ptr header = NewPtrBlockClear(512);
  if (!header)
    FatalError("Sorry, a memory error has occured.  Please increase the application's \"Preferred size\" "
               "requirements, and try again.",
               "");
  FileClass file;
  std::memset(&file, 0, sizeof file);
  OSErr err = FindOrCreateFile(&file, fileName, folder, kAnyFileType, kAnyFileType);
  if (err == noErr) err = FileClass::Open(&file, 1);
  if (err == noErr) {
    LockHandleBlock(picture);
    OSErr writeErr = SetEOF(file.forkRefNum, 0);
    if (writeErr == noErr) writeErr = SetFPos(file.forkRefNum, fsFromStart, 0);
    UInt32 count = 512;
    if (writeErr == noErr) writeErr = WriteFork(file.forkRefNum, &count, header);
    count = static_cast<UInt32>(GetHandleBlockSize(picture));
    if (writeErr == noErr) writeErr = WriteFork(file.forkRefNum, &count, *picture);
    UnlockHandleBlock(picture);
    err = FileClass::Close(&file);
    if (err == noErr) err = writeErr;
  }
  DisposePtrBlock(header);
  return err;
}

SInt32 GetOpenFileCount() { return static_cast<SInt32>(OpenFileClasses().Count()); }

// Searching and creating ---------------------------------------------------------

OSErr FindFileInFolder(FileClass* outItem, ConstStr255Param name, FileClass* folder, OSType creator, OSType type,
                       SInt16 mode) {
  if (!FileExists(folder)) return kErrFailed;
  FileClass::Clear(outItem);
  std::string wanted = PText(name);
  FolderScan scan(folder);
  while (scan.Next(&outItem->reference)) {
    OSErr err = GetFileInfo(outItem, nullptr);
    if (err != noErr && err != kErrFileNotFound) return err;
    unsigned char itemName[256];
    GetItemName(outItem->spec(), itemName);
    bool isFolder = outItem->isFolder != 0;
    if (mode == kFindFilesOnly && isFolder) continue;
    if (mode == kFindFoldersOnly && !isFolder) continue;
    if (wanted.empty() ? isFolder : PText(itemName) != wanted) continue;
    if (!isFolder) {
      if (!CodeMatches(type, FinderWord(outItem->finderInfo)) ||
          !CodeMatches(creator, FinderWord(outItem->finderInfo + 4)))
        continue;
      Boolean resolvedFolder = 0;
      Boolean alias = 0;
      ResolveAliasFile(outItem->spec(), 1, &resolvedFolder, &alias);
      outItem->isFolder = resolvedFolder;
      if (alias && resolvedFolder) GetSubDirectory(outItem);
      outItem->isValid = 1;
      return noErr;
    }
    FileClass::SetFolder(outItem);
    return noErr;
  }
  return kErrFailed;
}

OSErr FindFileInFolderC(FileClass* outItem, const char* name, FileClass* folder, OSType creator, OSType type,
                        SInt16 mode) {
  unsigned char text[256];
  SetPText(text, name ? name : "", 255);
  return FindFileInFolder(outItem, text, folder, creator, type, mode);
}

OSErr FindItemInFolder(FileClass* outItem, ConstStr255Param name, OSType creator, OSType type, FileClass* folder) {
  OSErr err = FindFileInFolder(outItem, name, folder, creator, type, kFindAnyItem);
  return err;
}

Boolean NameExistsInFolder(ConstStr255Param name, FileClass* folder) {
  std::string wanted = PText(name);
  FSRef reference;
  FolderScan scan(folder);
  while (scan.Next(&reference))
    if (SpecName(&reference.spec) == wanted) return 1;
  return 0;
}

OSErr CreateFileNamed(FileClass* outFile, ConstStr255Param name, FileClass* folder) {
  UniStr255 units;
  PStrToUniStr255(name, &units);
  FileClass::Clear(outFile);
  OSErr err = CreateFileInFolder(folder->spec(), units.length, units.unicode, 0, nullptr, outFile->spec());
  if (err == noErr) outFile->isValid = 1;
  return err;
}

OSErr FindOrCreateFile(FileClass* outFile, ConstStr255Param name, FileClass* folder, OSType, OSType,
                       Boolean* outCreated) {
  if (outCreated) *outCreated = 0;
  OSErr err = FindFileInFolder(outFile, name, folder, kAnyFileType, kAnyFileType, kFindFilesOnly);
  if (err == -1) {
    err = CreateFileNamed(outFile, name, folder);
    if (err == noErr && outCreated) *outCreated = 1;
  }
  return err;
}

OSErr FindOrCreateFileC(FileClass* outFile, const char* name, FileClass* folder, OSType creator, OSType type,
                        Boolean* outCreated) {
  unsigned char text[256];
  SetPText(text, name ? name : "", 255);
  return FindOrCreateFile(outFile, text, folder, creator, type, outCreated);
}

OSErr CreateFolderNamed(FileClass* outFolder, ConstStr255Param name, FileClass* folder) {
  UniStr255 units;
  PStrToUniStr255(name, &units);
  FileClass::Clear(outFolder);
  OSErr err = CreateFolderInFolder(folder->spec(), units.length, units.unicode, 0, nullptr, outFolder->spec());
  if (err == noErr) FileClass::SetFolder(outFolder);
  return err;
}

OSErr FindOrCreateFolder(FileClass* outFolder, ConstStr255Param name, FileClass* folder, Boolean* outCreated) {
  if (outCreated) *outCreated = 0;
  OSErr err = FindFileInFolder(outFolder, name, folder, kAnyFileType, kAnyFileType, kFindFoldersOnly);
  if (err == -1) {
    err = CreateFolderNamed(outFolder, name, folder);
    if (err == noErr && outCreated) *outCreated = 1;
  }
  if (err == noErr) FileClass::SetFolder(outFolder);
  return err;
}

OSErr FindOrCreateFolderC(FileClass* outFolder, const char* name, FileClass* folder, Boolean* outCreated) {
  unsigned char text[256];
  SetPText(text, name ? name : "", 255);
  return FindOrCreateFolder(outFolder, text, folder, outCreated);
}

SInt32 ParseCopyNumber(StringPtr name, Boolean numbering) {
  if (!name || name[0] < 5) return 0;
  size_t length = name[0];
  const char* text = reinterpret_cast<const char*>(name + 1);
  if (std::memcmp(text + length - 5, " copy", 5) == 0) return -1;
  size_t digits = 0;
  while (digits < length && text[length - 1 - digits] >= '0' && text[length - 1 - digits] <= '9') ++digits;
  if (digits + 5 >= length) return 0;
  size_t start = length - digits;
  if (!numbering && (digits == 0 || std::memcmp(text + start - 6, " copy ", 6) != 0)) return 0;
  SInt32 value = 0;
  for (size_t i = start; i < length; ++i) value = value * 10 + (text[i] - '0');
  name[0] = static_cast<UInt8>(start);
  return value;
}

OSErr UniqueFileName(StringPtr name, FileClass* folder, Boolean numbering) {
  if (!FileExists(folder)) FatalError("Source folder is invalid.", "UniqueFileName()");
  if (!name) FatalError("The file name is nil.", "UniqueFileName()");
  std::string original = PText(name);
  size_t dot = original.find('.');
  std::string extension = dot == std::string::npos ? std::string() : "." + original.substr(dot + 1);
  if (dot != std::string::npos && dot + 1 == original.size()) extension.clear();
  for (int tries = 0; NameExistsInFolder(name, folder); ++tries) {
    if (tries == kMaxUniqueNameTries) return kErrFailed;
    std::string stem = PText(name);
    stem = stem.substr(0, stem.find('.'));
    SetPText(name, stem, 31);
    SInt32 number = ParseCopyNumber(name, numbering);
    stem = PText(name);
    std::string tail;
    if (number == -1) {
      stem.resize(stem.size() - 5);
      tail = " copy 1";
    } else if (number == 0) {
      tail = numbering ? " 2" : " copy";
    } else if (!numbering) {
      stem.resize(stem.size() - 6);
      tail = " copy " + std::to_string(number + 1);
    } else {
      tail = std::to_string(number + 1);
    }
    // A numbered name that no longer fits takes room from the base name.
    if (tail.size() + extension.size() > 31) return kErrFailed;
    size_t room = 31 - tail.size() - extension.size();
    if (stem.size() > room) stem.resize(room);
    SetPText(name, stem + tail + extension, 31);
  }
  return noErr;
}

Handle NewTypeList(const OSType* types, SInt8 count) {
  SInt32 n = count < 0 ? 0 : count;
  Handle list = NewHandleBlockClear(12 + 4 * n);
  if (!list || GetMemoryError() != noErr)
    FatalError("Sorry, a memory error has occured.", "NewTypeList()");
  LockHandleBlock(list);
  UInt8* bytes = reinterpret_cast<UInt8*>(*list);
  auto put32 = [](UInt8* at, UInt32 value) {
    at[0] = static_cast<UInt8>(value >> 24);
    at[1] = static_cast<UInt8>(value >> 16);
    at[2] = static_cast<UInt8>(value >> 8);
    at[3] = static_cast<UInt8>(value);
  };
  put32(bytes, ApplicationCreator);
  bytes[4] = 0;
  bytes[5] = 0;
  bytes[6] = static_cast<UInt8>(n >> 8);
  bytes[7] = static_cast<UInt8>(n);
  for (SInt32 i = 0; i < n; ++i) put32(bytes + 8 + 4 * i, types[i]);
  UnlockHandleBlock(list);
  return list;
}

Handle NewTypeList(OSType type) { return NewTypeList(&type, 1); }

OSErr RenameItem(FileClass*, ConstStr255Param) {
  return noErr;  // renaming has no service here
}

// Special folders ----------------------------------------------------------------

bool GetAppDataFolderPath(char* outPath, size_t size) {
  std::string path;
  std::optional<std::string> appData = GetEnvironment("AppData");
  std::optional<std::string> xdg = GetEnvironment("XDG_DATA_HOME");
  std::optional<std::string> home = GetEnvironment("HOME");
  if (appData && !appData->empty())
    path = *appData;
  else if (xdg && !xdg->empty() && (*xdg)[0] == '/')
    path = *xdg;
  else if (home && !home->empty())
    path = *home + "/.local/share";
  else
    return false;
  if (path.size() + 1 > size) return false;
  if (!IsFolderPath(path.c_str())) {
    // Made with its missing parents.
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
      std::string part = path.substr(0, slash);
      if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
      if (slash == std::string::npos) break;
    }
    if (!IsFolderPath(path.c_str())) return false;
  }
  std::memcpy(outPath, path.c_str(), path.size() + 1);
  return true;
}

OSErr FindSpecialFolder(SInt16, OSType kind, Boolean, FileSpec* outSpec) {
  char path[kPathBufferSize];
  if (kind == FOUR_CHAR_CODE("pref") || kind == FOUR_CHAR_CODE("asup")) {
    if (!GetAppDataFolderPath(path, sizeof path)) return kErrMemFull;
  } else if (kind == FOUR_CHAR_CODE("fram")) {
    GetApplicationBundlePath(path, sizeof path);
    if (!path[0]) return kErrMemFull;
    std::string frameworks = std::string(path) + "/Contents/MacOS/";
    if (frameworks.size() >= sizeof path) return kErrMemFull;
    std::memcpy(path, frameworks.c_str(), frameworks.size() + 1);
  } else {
    return kErrMemFull;
  }
  OSErr err = MakeFileSpecFromPath(path, outSpec);
  return err == noErr ? noErr : kErrMemFull;
}

void FindPreferencesFolder(FileClass* folder, Boolean localDomain) {
  OSErr err = FindSpecialFolder(localDomain ? kLocalDomain : kUserDomain, FOUR_CHAR_CODE("pref"), 1, folder->spec());
  if (err != noErr) FatalErrorNum("Unable to locate the Preferences folder.", err);
  folder->isFolder = 1;
  folder->isValid = 1;
}

Boolean FindApplicationSupportFolder(FileClass* folder, Boolean localDomain) {
  folder->isValid = 0;
  OSErr err = FindSpecialFolder(localDomain ? kLocalDomain : kUserDomain, FOUR_CHAR_CODE("asup"), 1, folder->spec());
  if (err == noErr) {
    folder->isFolder = 1;
    folder->isValid = 1;
  }
  return folder->isValid;
}

void FindDesktopFolder(FileClass* folder) {
  OSErr err = FindSpecialFolder(kOnSystemDisk, FOUR_CHAR_CODE("desk"), 1, folder->spec());
  if (err != noErr) FatalErrorNum("Unable to locate the Desktop folder.", err);
  folder->isFolder = 1;
  folder->isValid = 1;
}

void FindTemporaryFolder(FileClass* folder) {
  OSErr err = FindSpecialFolder(kOnSystemDisk, FOUR_CHAR_CODE("temp"), 1, folder->spec());
  if (err != noErr) FatalErrorNum("Unable to locate the Temporary folder.", err);
  folder->isFolder = 1;
  folder->isValid = 1;
}

void FindSharedFolder(FileClass* folder) {
  OSErr err = FindSpecialFolder(kLocalDomain, FOUR_CHAR_CODE("sdat"), 1, folder->spec());
  if (err != noErr) FatalErrorNum("Unable to locate the Shared folder.", err);
  folder->isFolder = 1;
  folder->isValid = 1;
}

OSErr MoveToTrash(FileClass*) {
  // There is no trash folder here, so the move (and its bounded renaming of a
  // clashing name) is never reached.
  FileSpec trash;
  OSErr err = FindSpecialFolder(kOnSystemDisk, FOUR_CHAR_CODE("trsh"), 1, &trash);
  if (err != noErr) FatalError("Unable to locate the trash folder.", "MoveToTrash()");
  return noErr;
}

// Working folder -----------------------------------------------------------------

OSErr SetDefaultFolder(const FileSpec* folder, FileSpec* outPrevious) {
  if (!folder) return kErrParam;
  FSCatalogInfo info;
  std::memset(&info, 0, sizeof info);
  FSGetCatalogInfo(folder, kFSCatInfoNodeFlags | kFSCatInfoVolume | kFSCatInfoNodeID, &info, nullptr, nullptr);
  if (!(info.nodeFlags & kFSNodeIsDirectoryMask)) return kErrDirNotFound;
  if (outPrevious) {
    GetDefaultDirectory(nullptr, &outPrevious->vRefNum, &outPrevious->parID);
    outPrevious->name[0] = 0;
  }
  return SetDefaultDirectory(nullptr, info.volume, info.nodeID);
}

void ChangeToDefaultDirectory() {
  FileSpec spec;
  GetDefaultDirectory(nullptr, &spec.vRefNum, &spec.parID);
  spec.name[0] = 1;
  spec.name[1] = '.';
  URLObject* url = CreateURLFromFileSpec(nullptr, &spec);
  if (!url) FatalError("Can't get url", "");
  char path[kPathBufferSize];
  if (GetURLPath(url, 1, path, sizeof path) && chdir(path) != 0) {
    // The folder went away: the working folder stays where it was.
  }
  ReleaseObject(url);
}

Boolean SetWorkingFolderSpec(const FileSpec* folder) {
  Boolean done = SetDefaultFolder(folder, nullptr) == noErr;
  ChangeToDefaultDirectory();
  return done;
}

Boolean SetWorkingFolder(const FileClass* folder) {
  FileClass copy;
  FileClass::Copy(&copy, folder);
  copy.isFolder = 1;
  GetSubDirectory(&copy);
  return SetWorkingFolderSpec(copy.spec());
}

Boolean SetWorkingFolderPath(const char* path) {
  StringObject* text = CreateString(nullptr, path, GetDefaultTextEncoding());
  URLObject* url = text ? CreateURLWithPath(nullptr, text, 0, 1) : nullptr;
  ReleaseObject(text);
  if (!url) return 0;
  FileSpec spec;
  Boolean made = URLToFileSpec(url, &spec);
  ReleaseObject(url);
  if (made) SetDefaultFolder(&spec, nullptr);
  if (chdir(path) != 0) return 0;
  return 1;
}

Boolean SetWorkingFolderOfPath(const char* path) {
  const char* slash = path ? std::strrchr(path, '/') : nullptr;
  if (!slash) return 0;
  std::string folder(path, static_cast<size_t>(slash - path));
  if (folder.empty()) folder = "/";
  return SetWorkingFolderPath(folder.c_str());
}

void SetDefaultFolderToCwd() {
  char path[kPathBufferSize];
  if (!getcwd(path, sizeof path)) return;
  FileSpec spec;
  if (MakeFileSpecFromPath(path, &spec) == noErr) SetDefaultFolder(&spec, nullptr);
}

void PushWorkingFolder() {
  WorkingFolder entry;
  char path[kPathBufferSize];
  entry.path = getcwd(path, sizeof path) ? path : "";
  std::memset(&entry.reference, 0, sizeof entry.reference);
  SInt16 volume = 0;
  UInt32 id = 0;
  GetDefaultDirectory(nullptr, &volume, &id);
  // The reference names the default folder itself.
  if (const char* folder = GetDirectoryPath(id)) MakeFileSpecFromPath(folder, &entry.reference.spec);
  WorkingFolders().push_back(entry);
}

void PopWorkingFolder() {
  std::vector<WorkingFolder>& stack = WorkingFolders();
  if (stack.empty()) return;
  WorkingFolder entry = stack.back();
  stack.pop_back();
  if (!entry.path.empty() && chdir(entry.path.c_str()) != 0) {
    // Gone since: stay where we are.
  }
  if (entry.reference.spec.parID) SetDefaultFolder(&entry.reference.spec, nullptr);
}

// Start-up -----------------------------------------------------------------------

void InitApplicationFolders() {
  if (gApplicationFoldersDone) return;
  gApplicationFoldersDone = true;
  gApplicationFile.forkRefNum = 0;  // the current resource file
  gApplicationFile.isOpen = 1;
  if (gUseBundle) {
    ProcessSerialNumber process;
    GetCurrentProcessSerial(&process);
    GetProcessBundleSpec(&process, gApplicationFile.spec());
    FileClass::SetFolder(&gApplicationFile);
  }
  FileClass::Copy(&gLaunchFile, &gApplicationFile);
  GetParentFolderClass(&gApplicationFile, &gApplicationFolder);
  FileClass support;
  std::memset(&support, 0, sizeof support);
  if (FindApplicationSupportFolder(&support, 0)) {
    if (FindOrCreateFolder(&gApplicationDataFolder, ApplicationName, &support) != noErr)
      FatalError("Couldn't create the application's folder in Application Support", "");
  }
}

void ResetApplicationFoldersForTesting() { gApplicationFoldersDone = false; }

// Further routines ---------------------------------------------------------------

Boolean SwitchFileName(FileClass* file, ConstStr255Param fileName, ConstStr255Param folderName, Boolean fatalOnError) {
  FileClass folder;
  FileClass::Copy(&folder, &gApplicationFolder);
  if (folderName && folderName[0]) {
    OSErr err = FindFileInFolder(&folder, folderName, &gApplicationFolder, kAnyFileType, kAnyFileType, kFindAnyItem);
    if (err != noErr) {
      if (fatalOnError) {
        std::string message = "The folder \"" + PText(folderName) + "\" could not be found.";
        FatalErrorNum(message.c_str(), err);
      }
      return 1;
    }
  }
  OSErr err = FindFileInFolder(file, fileName, &folder, kAnyFileType, kAnyFileType, kFindAnyItem);
  if (err != noErr) {
    if (fatalOnError) FatalNamed("The file \"", PText(fileName), "\" could not be found.", "SwitchFileName()");
    return 1;
  }
  err = FileClass::Open(file, 1);
  if (err != noErr) {
    if (fatalOnError) FatalNamed("The file \"", PText(fileName), "\" could not be opened.", "SwitchFileName()");
    return 1;
  }
  return 0;
}

OSErr OpenAppFolderFile(FileClass* file, ConstStr255Param suffix, OSType type) {
  std::string name = PText(ApplicationName) + " " + PText(suffix);
  unsigned char text[256];
  SetPText(text, name, 255);
  if (FindFileInFolder(file, text, &gApplicationFolder, ApplicationCreator, type, kFindAnyItem) != noErr)
    FatalNamed("The file \"", name, "\" could not be found.", "OpenAppFolderFile()");
  OSErr err = FileClass::Open(file, 1);
  if (err != noErr) FatalNamed("The file \"", name, "\" could not be opened.", "OpenAppFolderFile()");
  return err;
}

OSErr CheckItemWritable(const FileSpec* spec) {
  FSCatalogInfo info;
  std::memset(&info, 0, sizeof info);
  FSGetCatalogInfo(spec, kFSCatInfoNodeFlags | kFSCatInfoVolume, &info, nullptr, nullptr);
  if (info.nodeFlags & 1) return kErrFileLocked;
  // The volume query answers no attributes here: never locked.
  return noErr;
}

Boolean IsItemLocked(const FileSpec* spec) { return CheckItemWritable(spec) != noErr; }

Boolean IsVolumeLocked(const FileSpec* spec) { return CheckItemWritable(spec) != noErr; }

Boolean IsForkLocked(SInt16) { return 0; }

OSErr GetApplicationBundleLocation(FileClass* file) {
  URLObject* url = CreateURLFromFileSpec(nullptr, file->spec());
  if (!url) FatalError("The file URL is nil.", "GetApplicationBundleLocation()");
  Boolean done = URLToFileSpec(url, file->spec());
  ReleaseObject(url);
  return done ? noErr : kErrFileNotFound;
}

void NormalizePathText(char* outText, const char* text, size_t size) {
  if (!size) return;
  outText[0] = 0;
  if (!text || !text[0]) return;
  std::string path(text);
  for (char& c : path)
    if (c == '\\') c = '/';
  StringObject* string = CreateString(nullptr, path.c_str(), GetDefaultTextEncoding());
  URLObject* url = CreateURLWithPath(nullptr, string, 0, 0);
  ReleaseObject(string);
  if (!url) return;
  if (!GetURLPath(url, 1, outText, static_cast<SInt32>(size))) outText[0] = 0;
  ReleaseObject(url);
}

Boolean CanOpenForReading(const char* path) {
  std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) return 0;
  std::fclose(file);
  return 1;
}

void ShowFileSpecPath(const FileSpec* spec) {
  char path[kPathBufferSize];
  GetFilePath(path, spec, sizeof path);
  AlertMessage(path, "", "OK");
}

OSErr LockFileName() { return noErr; }

void FileClassFromSpec(FileClass*, SInt16, UInt32, ConstStr255Param) {}

SInt16 NavChooseFileDialog(FileClass*) { return 2; }

SInt16 NavOpenFileDialog(FileClass*, const OSType* types, SInt8 count) {
  Handle typeList = count > 0 ? NewTypeList(types, count) : nullptr;
  if (typeList) DisposeHandleBlock(typeList);
  return 2;
}

void InitFileClassGlobals() {
  FileClass* globals[] = {&gApplicationFile, &gLaunchFile,  &gApplicationFolder, &gApplicationDataFolder,
                          &gResourcesFolder, &gSaveFolder, &gSpareFileClass};
  for (FileClass* file : globals) {
    std::memset(file, 0, sizeof *file);
  }
  OpenFileClasses();
  WorkingFolders();
  gApplicationFoldersDone = false;
}

void ExitFileClassGlobals() {
  if (gOpenFileClasses) {
    while (gOpenFileClasses->Count()) gOpenFileClasses->RemoveValue(gOpenFileClasses->LastValue());
    delete gOpenFileClasses;
    gOpenFileClasses = nullptr;
  }
  delete gWorkingFolders;
  gWorkingFolders = nullptr;
}
