// FileClass: the engine's handle on one file or folder; searches, unique
// names, the special folders and the working folder.
#pragma once

#include <cstddef>

#include "FileManager.h"
#include "FileSpec.h"
#include "MacTypes.h"

struct FileClass {
  FSRef reference;  // the item's FileSpec in front
  SInt16 forkRefNum;
  UInt8 finderInfo[16];  // type, creator, flags
  UInt8 isOpen;
  UInt8 isOpen2;
  UInt8 isFolder;
  UInt8 isAlias;
  UInt32 state;
  UInt8 isValid;
  FSCatalogInfo catalogInfo;

  FileSpec* spec() { return &reference.spec; }
  const FileSpec* spec() const { return &reference.spec; }

  // Zeroes the flags and the state word; the reference stays.
  static void Clear(FileClass* file);
  // Every field but the catalogue record; returns the destination.
  static FileClass* Copy(FileClass* destination, const FileClass* source);
  static OSErr SetFolder(FileClass* file);
  // Nil: 1; already open: 0 and nothing done; else the open's status.
  static OSErr Open(FileClass* file, Boolean readWrite);
  // Nil: 1; not open: 0; else the close's status.
  static OSErr Close(FileClass* file);
  static OSErr CloseAndFlush(FileClass* file);
  // Closes, then becomes a copy of the application file.
  static OSErr CloseAndReset(FileClass* file);
};

// The application's FileClass objects (cleared at start-up).
extern FileClass gApplicationFile;
extern FileClass gLaunchFile;
extern FileClass gApplicationFolder;
extern FileClass gApplicationDataFolder;
extern FileClass gResourcesFolder;
// The property-list and picture writers' default folder (never set).
extern FileClass gSaveFolder;
extern FileClass gSpareFileClass;

constexpr OSType kAnyFileType = FOUR_CHAR_CODE("????");
constexpr SInt16 kFindAnyItem = 0;
constexpr SInt16 kFindFilesOnly = 1;
constexpr SInt16 kFindFoldersOnly = 2;

constexpr SInt16 kSystemDomain = -32766;
constexpr SInt16 kLocalDomain = -32765;
constexpr SInt16 kUserDomain = -32763;
constexpr SInt16 kOnAppropriateDisk = -32767;
constexpr SInt16 kOnSystemDisk = -32768;

// Records and existence --------------------------------------------------------

// 0; fatal when the folder flag is clear.
OSErr GetSubDirectory(FileClass* file);
// Always 1: the catalogue query with mask 0 cannot fail.
Boolean FileExists(const FileClass* file);
Boolean FileExists(const FileSpec* spec);
FileClass* FileClassFromPath(FileClass* file, const char* path);
FileClass* FileClassSetPath(FileClass* file, const char* path);
// The full path, or an empty text; outPath holds size bytes.
void GetFilePath(char* outPath, const FileSpec* spec, size_t size = kPathBufferSize);
OSErr GetItemName(const FileSpec* spec, StringPtr outName);
// Type and creator into outFinderWords (8 bytes) when given.
OSErr GetFileInfo(FileClass* file, UInt32* outFinderWords);
OSErr GetParentFolder(const FileClass* file, FileSpec* outSpec);
OSErr GetParentFolderClass(const FileClass* file, FileClass* outFolder);
OSErr GetParentFolderOfPath(const char* path, FileSpec* outSpec);

// Opening ------------------------------------------------------------------------

OSErr OpenBundleResourceFile(FileClass* file);
OSErr SavePictFile(Handle picture, ConstStr255Param name, FileClass* folder);
// The number of FileClass objects open through FileClass::Open.
SInt32 GetOpenFileCount();

// Searching and creating ---------------------------------------------------------

// 0 found, -1 not found, or GetFileInfo's error other than -43.
OSErr FindFileInFolder(FileClass* outItem, ConstStr255Param name, FileClass* folder, OSType creator, OSType type,
                       SInt16 mode);
OSErr FindFileInFolderC(FileClass* outItem, const char* name, FileClass* folder, OSType creator, OSType type,
                        SInt16 mode);
OSErr FindItemInFolder(FileClass* outItem, ConstStr255Param name, OSType creator, OSType type, FileClass* folder);
Boolean NameExistsInFolder(ConstStr255Param name, FileClass* folder);
OSErr CreateFileNamed(FileClass* outFile, ConstStr255Param name, FileClass* folder);
OSErr FindOrCreateFile(FileClass* outFile, ConstStr255Param name, FileClass* folder, OSType creator, OSType type,
                       Boolean* outCreated = nullptr);
OSErr FindOrCreateFileC(FileClass* outFile, const char* name, FileClass* folder, OSType creator, OSType type,
                        Boolean* outCreated = nullptr);
OSErr CreateFolderNamed(FileClass* outFolder, ConstStr255Param name, FileClass* folder);
OSErr FindOrCreateFolder(FileClass* outFolder, ConstStr255Param name, FileClass* folder,
                         Boolean* outCreated = nullptr);
OSErr FindOrCreateFolderC(FileClass* outFolder, const char* name, FileClass* folder, Boolean* outCreated = nullptr);
// name is a Str31, changed in place until it is free in the folder. 0, or -1
// after 10,000 tries.
OSErr UniqueFileName(StringPtr name, FileClass* folder, Boolean numbering);
// Removes a trailing copy number and returns it; -1 for " copy", else 0.
SInt32 ParseCopyNumber(StringPtr name, Boolean numbering);
Handle NewTypeList(const OSType* types, SInt8 count);
Handle NewTypeList(OSType type);
OSErr RenameItem(FileClass* file, ConstStr255Param name);

// Special folders ----------------------------------------------------------------

// The one place that decides the "AppData" folder: $AppData when set and not
// empty, else $XDG_DATA_HOME when absolute, else $HOME/.local/share, made
// with its parents (0700) when missing. False when there is none.
bool GetAppDataFolderPath(char* outPath, size_t size);
// 'pref' and 'asup': AppData; 'fram': the bundle's "Contents/MacOS/". -108
// otherwise.
OSErr FindSpecialFolder(SInt16 domain, OSType kind, Boolean create, FileSpec* outSpec);
void FindPreferencesFolder(FileClass* folder, Boolean localDomain);
Boolean FindApplicationSupportFolder(FileClass* folder, Boolean localDomain);
void FindDesktopFolder(FileClass* folder);
void FindTemporaryFolder(FileClass* folder);
void FindSharedFolder(FileClass* folder);
OSErr MoveToTrash(FileClass* file);

// Working folder -----------------------------------------------------------------

OSErr SetDefaultFolder(const FileSpec* folder, FileSpec* outPrevious);
void ChangeToDefaultDirectory();
Boolean SetWorkingFolderSpec(const FileSpec* folder);
Boolean SetWorkingFolder(const FileClass* folder);
Boolean SetWorkingFolderPath(const char* path);
Boolean SetWorkingFolderOfPath(const char* path);
void SetDefaultFolderToCwd();
void PushWorkingFolder();
void PopWorkingFolder();

// Start-up -----------------------------------------------------------------------

// Once: the application file, its folder and "<AppData>/<name>".
void InitApplicationFolders();

// Further routines ---------------------------------------------------------------

Boolean SwitchFileName(FileClass* file, ConstStr255Param fileName, ConstStr255Param folderName, Boolean fatalOnError);
OSErr OpenAppFolderFile(FileClass* file, ConstStr255Param suffix, OSType type);
OSErr CheckItemWritable(const FileSpec* spec);
Boolean IsItemLocked(const FileSpec* spec);
Boolean IsVolumeLocked(const FileSpec* spec);
Boolean IsForkLocked(SInt16 refNum);
OSErr GetApplicationBundleLocation(FileClass* file);
// '\' becomes '/', then the text goes through a URL and back.
void NormalizePathText(char* outText, const char* text, size_t size = 1024);
Boolean CanOpenForReading(const char* path);
void ShowFileSpecPath(const FileSpec* spec);
OSErr LockFileName();
void FileClassFromSpec(FileClass* file, SInt16 volume, UInt32 directoryID, ConstStr255Param name);
// The choose-file dialogs: the navigation services give no reply here, so
// both answer 2 (cancelled) and leave the FileClass alone.
SInt16 NavChooseFileDialog(FileClass* file);
SInt16 NavOpenFileDialog(FileClass* file, const OSType* types, SInt8 count);

// Start-up entries: the seven globals, the open-file set and the stacks.
void InitFileClassGlobals();
void ExitFileClassGlobals();
// Forgets InitApplicationFolders' once-flag (tests only).
void ResetApplicationFoldersForTesting();
