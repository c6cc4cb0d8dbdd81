#include "DisplayStartup.h"

#include "BrightnessLevels.h"
#include "Bundle.h"
#include "DisplayList.h"
#include "DisplayServices.h"
#include "GWorldPresent.h"
#include "MainWindow.h"
#include "PixMapList.h"
#include "PortText.h"
#include "Ports.h"
#include "Startup.h"
#include "TextLayout.h"

namespace {

constexpr SInt16 kScreenDepth = 32;
constexpr UInt16 kColorDeviceFlag = 1;

void BuildBrightGammaTablesFromCapture() { BuildBrightGammaTables(nullptr); }

// Every device here is the colour screen.
SInt16 DevicePixelDepth(void*, UInt16* outFlags) {
  if (outFlags) *outFlags = kColorDeviceFlag;
  return kScreenDepth;
}

void StartDisplayServices() {
  InstallDisplayLayerServices();
  SetFontFolderHook(SetFontFolder);
}

void StopDisplayServices() { SetFontFolderHook(nullptr); }

}  // namespace

void InstallDisplayLayerServices() {
  DisplayServices services = GetDisplayServices();
  services.flushToScreen = FlushToScreen_Displays;
  services.isFullScreen = IsFullScreen_Displays;
  services.setFullScreen = SetFullScreen_Displays;
  services.enterMenuMode = EnterMenuMode_Displays;
  services.setPortDepth = SetPortDepth;
  services.installPixMapHooks = InstallPixMapHooks;
  services.buildDisplayList = BuildDisplayListAtStartup;
  services.buildBrightGammaTables = BuildBrightGammaTablesFromCapture;
  services.windowInitGL = WindowInitGL;
  services.setWindowContentSize = SetWindowContentSize;
  services.disableAllMenus = DisableAllMenus;
  services.devicePixelDepth = DevicePixelDepth;
  RegisterDisplayServices(&services);
}

void RegisterDisplayStartup() {
  AddStartupEntry({"GWorld stack", InitGWorldStack, ExitGWorldStack});
  AddStartupEntry({"Pixmap list", InitPixMapList, ExitPixMapList});
  AddStartupEntry({"Display list", InitDisplayList, ExitDisplayList});
  AddStartupEntry({"Text params stack", InitTextParamStack, ExitTextParamStack});
  AddStartupEntry({"Port fonts", InitPortTextTables, ExitPortTextTables});
  AddStartupEntry({"Display services", StartDisplayServices, StopDisplayServices});
}
