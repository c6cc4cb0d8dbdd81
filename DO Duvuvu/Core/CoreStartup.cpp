#include "Bundle.h"
#include "FileClass.h"
#include "FileManager.h"
#include "FileSpec.h"
#include "NumberText.h"
#include "RefObjects.h"
#include "Startup.h"

void RegisterCoreStartup() {
  AddStartupEntry({"Base64 alphabet", InitBase64Alphabet, ReleaseBase64Alphabet});
  AddStartupEntry({"Executable path", InitExecutablePath, nullptr});
  AddStartupEntry({"Directory IDs and default directory", InitDirectoryIDTable, ExitDirectoryIDTable});
  AddStartupEntry({"Open-file map", InitOpenFileMap, ExitOpenFileMap});
  AddStartupEntry({"FileClass globals and working folders", InitFileClassGlobals, ExitFileClassGlobals});
  AddStartupEntry({"Window sizes and bundle flag", InitBundleDefaults, ExitBundleDefaults});
}
