// File specifications over POSIX paths: one volume (0, root "/"), and
// directory IDs handed out to folder paths on first sight.
#pragma once

#include <cstddef>

#include "MacTypes.h"
#include "ResultCodes.h"

// Path buffers hold a path of at most 4095 bytes and its NUL.
constexpr size_t kPathBufferSize = 4096;
constexpr size_t kMaxFileNameLength = 63;

struct FileSpec {
  SInt16 vRefNum;  // volume; -1 on input means any volume
  UInt32 parID;    // directory ID of the containing folder
  Str63 name;      // empty for the root
};

// Path text ------------------------------------------------------------------

// Removes every trailing '/', but the root "/" stays.
char* StripTrailingBackslashes(char* path);
// Writes a NUL over the last '/' ("/x" keeps "/"); returns that position, or
// nil when the path has none (path unchanged).
char* CutLastPathComponent(char* path);
Boolean IsAbsolutePath(const char* path);
// The text after the last '/'; nil for "/" itself; the whole path without '/'.
const char* GetPathLeafName(const char* path);
Boolean IsFolderPath(const char* path);
// Lexical full path: a relative path joins the working folder; repeated '/',
// "." and ".." collapse; nothing is resolved on disk. False when it does not
// fit in size bytes or the working folder is unknown.
bool GetFullPathName(const char* path, char* buffer, size_t size);
Boolean GetParentFolderPath(const char* path, char* buffer, size_t size);
SInt16 GetPathVolume(const char* path);
// Bit 0: the one volume.
UInt32 GetLogicalDrives();

// Tables and specifications -------------------------------------------------

// "/" for volume 0, nil otherwise.
const char* GetVolumeRootPath(UInt32 volume);
// The ID of the folder that holds the item, registering that folder if new.
UInt32 GetDirectoryID(const char* path);
// The folder's path, or nil for an unknown ID.
const char* GetDirectoryPath(UInt32 directoryID);

// The name is a leaf name or a full path. 0, -35, -37 (name or path too long;
// the spec is cleared) or -120.
OSErr MakeFileSpec(SInt16 volume, UInt32 directoryID, ConstStr255Param name, FileSpec* outSpec);
// The same with C text, for paths longer than 255 bytes.
OSErr MakeFileSpecC(SInt16 volume, UInt32 directoryID, const char* name, FileSpec* outSpec);
OSErr MakeFileSpecFromPath(const char* path, FileSpec* outSpec, Boolean* outIsFolder = nullptr);

struct FileSpecParamBlock {
  ConstStringPtr name;  // Str31 or nil
  SInt16 vRefNum;
  UInt32 dirID;
  FileSpec* result;
};
OSErr MakeFileSpecFromParamBlock(const FileSpecParamBlock* block);

// 0, or -43 for an unknown directory ID; -37 when the path does not fit.
OSErr GetFileSpecPath(const FileSpec* spec, char* buffer, size_t size);
OSErr CopyFileSpec(const FileSpec* source, FileSpec* destination);

OSErr SetDefaultDirectory(ConstStr255Param name, SInt16 volume, UInt32 directoryID);
OSErr GetDefaultDirectory(StringPtr outName, SInt16* outVolume, UInt32* outDirectoryID);
// Start-up step: registers the executable's folder; the default stays zero.
void InitDefaultDirectory();

struct CatInfoParamBlock {
  StringPtr name;  // Str255, rewritten as the leaf name
  SInt16 index;
  UInt8 attributes;  // bit 4: a folder
  UInt32 dirID;
  UInt32 parID;
};
OSErr GetCatInfoParamBlock(CatInfoParamBlock* block);

// Start-up entries: the directory table and default directory.
void InitDirectoryIDTable();
void ExitDirectoryIDTable();
