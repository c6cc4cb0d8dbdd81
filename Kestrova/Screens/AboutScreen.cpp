#include "AboutScreen.h"

#include <cstdio>

#include "Bundle.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "Geometry.h"
#include "MainLoop.h"
#include "Strings.h"
#include "SystemUI.h"

StartupObject<AboutScreen> gAboutScreen;

namespace {

// The engine draws text byte by byte: the copyright sign is the 8-bit 0xA9.
constexpr const char* kNotice = " \xA9 2026 The Kestrova Team";
constexpr const char* kEngineLine = "DO Duvuvu engine by The Kestrova Team";

}  // namespace

void GetAboutLines(char* line1, size_t size1, char* line2, size_t size2) {
  char version[256];
  PToCStr(gApplicationVersionShort, version);
  std::snprintf(line1, size1, "Version %s%s", version, kNotice);
  std::snprintf(line2, size2, "%s", kEngineLine);
}

AboutScreen::AboutScreen() {
  for (GLImage* image : {&picture, &shadow, &textImage}) {
    image->filter = kGLLinear;
    image->red = image->green = image->blue = image->alpha = 1.0f;
  }
}

AboutScreen::~AboutScreen() {
  DeleteGLImageTexture(&picture);
  DeleteGLImageTexture(&shadow);
  DeleteGLImageTexture(&textImage);
}

void AboutScreen::Open(AboutScreen* screen) {
  LoadGameImage(&screen->picture, "MacPC/About", 0);
  LoadGameImage(&screen->shadow, "MacPC/About-Shadow", 1);

  const SInt16 width = static_cast<SInt16>(screen->picture.imageWidth / 1.6f);
  const SInt16 height = static_cast<SInt16>(screen->picture.imageHeight / 1.6f);
  const SInt16 displayWidth = static_cast<SInt16>(ScreenRect.right - ScreenRect.left);
  const SInt16 displayHeight = static_cast<SInt16>(ScreenRect.bottom - ScreenRect.top);
  Rect& panel = screen->rect;
  panel.left = static_cast<SInt16>(ScreenRect.left + displayWidth / 2 - width / 2);
  panel.right = static_cast<SInt16>(panel.left + width);
  // Measured from 0, not from the display's top: a little above the middle.
  panel.top = static_cast<SInt16>(displayHeight * 0.388f - height / 2);
  panel.bottom = static_cast<SInt16>(panel.top + height);

  char line1[320];
  char line2[128];
  GetAboutLines(line1, sizeof line1, line2, sizeof line2);
  ImageBuff* buffer = &ImagePool;
  ReadyImageBuff(buffer);
  ClearImageBuff(buffer);
  buffer->red = 0.75f;
  buffer->green = 0.6f;
  buffer->blue = 1.0f;
  buffer->alpha = 1.0f;
  DrawTextToImage(buffer, line1, GameFonts[0], 16.0f, 300.0f, 16.0f, 1);
  DrawTextToImage(buffer, line2, GameFonts[0], 16.0f, 300.0f, 36.0f, 1);
  const Rect textArea = {0, 0, 40, 600};
  MakeGLImageFromBuffer(&screen->textImage, buffer, &textArea);
  screen->textImage.forceBlend = 1;

  const SInt16 textWidth = static_cast<SInt16>(screen->textImage.imageWidth / 1.6f);
  const SInt16 textHeight = static_cast<SInt16>(screen->textImage.imageHeight / 1.6f);
  Rect& text = screen->textRect;
  text.left = static_cast<SInt16>(panel.left + (panel.right - panel.left) / 2 - textWidth / 2);
  text.right = static_cast<SInt16>(text.left + textWidth);
  text.top = static_cast<SInt16>((panel.bottom - panel.top) * 0.33f + panel.top - textHeight / 2);
  text.bottom = static_cast<SInt16>(text.top + textHeight);

  // The game step stands still while the count is above 0.
  ++GameFlags.quitQuestionOpen;
  screen->Show(1);
}

void AboutScreen::Process() {
  MouseState mouse;
  GetMouseState(&mouse);
  if (!mouse.button) return;
  Hide();
  if (GameFlags.quitQuestionOpen) --GameFlags.quitQuestionOpen;
  // The click that closed the box is spent: it must not pause the game too.
  PauseLatch = 1;
}

void AboutScreen::Draw() {
  GLImage* pixel = &gImages->pixel;
  pixel->red = pixel->green = pixel->blue = 0.0f;
  pixel->alpha = 0.5f;
  DrawGLImage(pixel, &ScreenRect);
  pixel->red = pixel->green = pixel->blue = pixel->alpha = 1.0f;

  Rect shadowRect = rect;
  OffsetRectBy(&shadowRect, 12, 12);
  InsetRectBy(&shadowRect, -4, -4);
  DrawGLImage(&shadow, &shadowRect);
  DrawGLImage(&picture, &rect);

  textImage.alpha = 1.0f;
  DrawShadowedImage(&textImage, &textRect, 2, 2, 1.0f);
}
