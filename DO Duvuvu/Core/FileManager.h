// The reference-number file manager over stdio, folder listing and catalogue
// questions.
#pragma once

#include <cstdio>

#include "FileSpec.h"
#include "TextConversion.h"

// An item reference: the spec in front, padded as the Toolbox's 80 bytes.
struct FSRef {
  FileSpec spec;
  UInt8 reserved[80 - sizeof(FileSpec)];
};

struct FSCatalogInfo {
  UInt16 nodeFlags;  // bit 4: a folder
  SInt16 volume;
  UInt32 parentDirID;
  UInt32 nodeID;
  UInt8 sharingFlags;
  UInt8 userPrivileges;
  UInt8 reserved1;
  UInt8 reserved2;
  UInt32 textEncodingHint;
  UInt8 finderInfo[16];  // type, creator, flags: never written here
  UInt8 extFinderInfo[16];
  UInt8 rest[92];
};

constexpr UInt32 kFSCatInfoTextEncoding = 1;
constexpr UInt32 kFSCatInfoNodeFlags = 2;
constexpr UInt32 kFSCatInfoVolume = 4;
constexpr UInt32 kFSCatInfoNodeID = 16;
constexpr UInt32 kFSCatInfoFinderInfo = 2048;
constexpr UInt16 kFSNodeIsDirectoryMask = 16;

constexpr SInt8 fsRdPerm = 1;
constexpr SInt8 fsWrPerm = 2;
constexpr SInt8 fsRdWrPerm = 3;
constexpr SInt16 fsFromStart = 1;

// 0 with the number, or -43.
OSErr OpenDataFork(const FileSpec* spec, UInt16 forkNameLength, const UInt16* forkName, SInt8 permission,
                   SInt16* outRefNum);
OSErr CloseFork(SInt16 refNum);
OSErr CloseFile(SInt16 refNum);
// The count becomes the bytes read; a short read is no error.
OSErr ReadFork(SInt16 refNum, UInt32* count, void* buffer);
// The count becomes the bytes written; -36 when fewer than asked.
OSErr WriteFork(SInt16 refNum, UInt32* count, const void* buffer);
OSErr GetFileEOF(SInt16 refNum, UInt32* outLength);
// Only fsFromStart; any other mode ends the program.
OSErr SetFPos(SInt16 refNum, SInt16 positionMode, SInt32 offset);
// Only 0; -36 when the truncation fails; any other length ends the program.
OSErr SetEOF(SInt16 refNum, SInt32 length);
OSErr GetDataForkName(UniStr255* outName);

// The open stream of a number, nil for an unknown one.
std::FILE* GetForkStream(SInt16 refNum);
// Replaces the whole file behind an open number through a safe save, then
// reopens the number's stream on the new file at its end. 0, -51, or -36
// (the old file then stays whole; a number opened for reading only also -36).
OSErr ReplaceForkContents(SInt16 refNum, const void* data, UInt32 size);

OSErr CreateFileInFolder(const FileSpec* folder, UInt32 nameLength, const UInt16* name, UInt32 whichInfo,
                         const FSCatalogInfo* info, FileSpec* outSpec);
OSErr CreateFolderInFolder(const FileSpec* folder, UInt32 nameLength, const UInt16* name, UInt32 whichInfo,
                           const FSCatalogInfo* info, FileSpec* outSpec);
// Always 0.
OSErr FSGetCatalogInfo(const FileSpec* spec, UInt32 whichInfo, FSCatalogInfo* outInfo, UniStr255* outName,
                       FileSpec* outSpec);
OSErr IsAliasFile(const FileSpec* spec, Boolean* outAlias, Boolean* outFolder);
OSErr ResolveAliasFile(FileSpec* spec, Boolean resolveChains, Boolean* outFolder, Boolean* outAlias);

struct FolderIterator;
OSErr OpenFolderIterator(const FileSpec* folder, UInt32 options, FolderIterator** outIterator);
// "." and ".." first, then the names sorted by bytes; 0, -1417 at the end
// (the outputs then repeat the last entry), or -43.
OSErr NextFolderItem(FolderIterator* iterator, UInt32 maximumCount, UInt32* outCount, Boolean* outChanged,
                     UInt32 whichInfo, FSCatalogInfo* outInfos, FSRef* outRef, FileSpec* outSpec);
OSErr CloseFolderIterator(FolderIterator* iterator);

// The fixed-result routines of the file layer.
OSErr GetOpenFileInfoParamBlock(void* block);
OSErr FindFolderRef(SInt16 domain, OSType kind, Boolean create, FSRef* outRef);

// How many numbers are open (tests only).
int OpenForkCountForTesting();

// Start-up entries: the open-file map.
void InitOpenFileMap();
void ExitOpenFileMap();
