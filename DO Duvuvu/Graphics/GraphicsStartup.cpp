#include "GraphicsStartup.h"

#include <algorithm>

#include "DisplayServices.h"
#include "DisplayStartup.h"
#include "GWorld.h"
#include "GWorldPresent.h"
#include "MainWindow.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortText.h"
#include "Ports.h"
#include "Startup.h"
#include "TextLayout.h"
#include "WindowPoints.h"

namespace {

GWorldPtr NewWindowManagerWorld() {
  GWorldPtr world = nullptr;
  const Rect bounds = {0, 0, 1, 1};
  CreateGWorld(&world, 32, &bounds, nullptr, 0, 0);
  return world;
}

void SetCurrentWorld(GWorldPtr world) { SetCurrentPort(world); }

ColorRGB ToColor(const UInt16* rgb) { return ColorRGB{rgb[0], rgb[1], rgb[2]}; }

GWorldPtr CurrentPort() {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  return port;
}

// Draws in the colour, leaving the port's foreground as it was.
template <typename Draw>
void InColor(const UInt16* rgb, Draw draw) {
  GWorldPtr port = CurrentPort();
  const ColorRGB saved = port->foreColor;
  port->foreColor = ToColor(rgb);
  draw();
  port->foreColor = saved;
}

void PaintRectIn(const Rect* rect, const UInt16* rgb) {
  InColor(rgb, [rect] { FillRectForeColor(rect); });
}

void FrameRectIn(const Rect* rect, const UInt16* rgb) {
  InColor(rgb, [rect] { FrameRectWithPen(rect); });
}

void EraseRectToBack(const Rect* rect) { FillRectBackColor(rect); }

bool MainDeviceColor(SInt32 index, UInt16* outRgb) {
  if (!GlobalColorTable || !*GlobalColorTable) return false;
  const CTable* table = *GlobalColorTable;
  if (index < 0 || index > table->size) return false;
  const ColorSpecEntry& entry = table->table[index];
  outRgb[0] = entry.red;
  outRgb[1] = entry.green;
  outRgb[2] = entry.blue;
  return true;
}

void SetForeColor(const UInt16* rgb) {
  const ColorRGB color = ToColor(rgb);
  SetForeColorRGB(&color);
}

void BackColor(UInt16* outRgb) {
  ColorRGB color{};
  GetPortBackColorRGB(CurrentPort(), &color);
  outRgb[0] = color.red;
  outRgb[1] = color.green;
  outRgb[2] = color.blue;
}

void SetBackColor(const UInt16* rgb) {
  const ColorRGB color = ToColor(rgb);
  SetBackColorRGB(&color);
}

void StandardForeColor(UInt16* outRgb) {
  outRgb[0] = BlackColor.red;
  outRgb[1] = BlackColor.green;
  outRgb[2] = BlackColor.blue;
}

// Width each character gains from the drawn styles, as the Toolbox widens
// them: bold, outline and extend one pixel, shadow two, condense one less.
SInt32 StyleExtraPerCharacter(SInt16 style) {
  SInt32 extra = 0;
  if (style & 1) extra += 1;
  if (style & 8) extra += 1;
  if (style & 16) extra += 2;
  if (style & 32) extra -= 1;
  if (style & 64) extra += 1;
  return extra;
}

// In the reset parameters' font at the system font's size, which size 0
// stands for.
SInt16 MeasureDialogText(ConstStr255Param text, SInt16 style) {
  constexpr UInt16 kSystemFontSize = 12;
  if (!text) return 0;
  PushTextParams();
  ResetTextParams();
  SetCurrentTextStyle(static_cast<UInt8>(style));
  SetCurrentTextSize(kSystemFontSize);
  const SInt32 width = MeasurePString(text) + text[0] * StyleExtraPerCharacter(style);
  PopTextParams();
  return static_cast<SInt16>(std::clamp<SInt32>(width, 0, 32767));
}

}  // namespace

void InstallGraphicsDisplayServices() {
  DisplayServices services = GetDisplayServices();
  services.newWindowManagerWorld = NewWindowManagerWorld;
  services.setCurrentWorld = SetCurrentWorld;
  // What the dialogs use.
  services.pushPort = PushPort;
  services.popPort = PopPort;
  services.windowToScreenPoint = WindowToScreenPoint;
  services.fullScreenFlag = [] { return FullScreenFlag; };
  services.shutdownApplication = ShutdownApplication;
  services.measureText = MeasureDialogText;
  services.paintRect = PaintRectIn;
  services.frameRect = FrameRectIn;
  services.eraseRect = EraseRectToBack;
  services.mainDeviceColor = MainDeviceColor;
  services.setForeColor = SetForeColor;
  services.movePenTo = MovePenTo;
  services.setTextStyle = SetCurrentTextStyle;
  services.drawText = DrawPString;
  services.backColor = BackColor;
  services.setBackColor = SetBackColor;
  services.openFontByName = OpenFontByName;
  services.standardForeColor = StandardForeColor;
  services.setFlushHold = [](UInt8 hold) { FlushHoldFlag = hold; };
  RegisterDisplayServices(&services);
}

void RegisterGraphicsStartup() {
  AddStartupEntry({"Graphics display services", InstallGraphicsDisplayServices, nullptr});
  RegisterDisplayStartup();
}
