#include "ConfirmScreen.h"

#include "EventPoll.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GamePrefs.h"
#include "GameSound.h"
#include "ImageBuff.h"
#include "MainLoop.h"
#include "MainScreen.h"
#include "PlayerKeys.h"
#include "ScoreTable.h"

StartupObject<ConfirmScreen> gConfirmScreen;

namespace {

// Interface images are made at 1.6 times the size they are shown at.
constexpr float kImageScale = 1.6f;
constexpr float kBoxTextSize = kImageScale * 18.0f;
constexpr Rect kBoxTextArea = {0, 0, 36, 740};
// The command key's bit in an event's modifiers.
constexpr SInt16 kCommandModifier = 8;

void PlaceButtonImage(KVButton* button, SInt16 left, SInt16 top) {
  const Point size = ShownImageSize(&button->titleImage);
  button->rect = Rect{top, left, static_cast<SInt16>(top + size.v), static_cast<SInt16>(left + size.h)};
}

}  // namespace

Point ShownImageSize(const GLImage* image) {
  Point size;
  size.v = static_cast<SInt16>(image->imageHeight / kImageScale);
  size.h = static_cast<SInt16>(image->imageWidth / kImageScale);
  return size;
}

Rect LayoutBoxPanel(const GLImage* panel, const Rect* screenRect) {
  const Point size = ShownImageSize(panel);
  const SInt32 screenHeight = screenRect->bottom - screenRect->top;
  Rect r;
  r.left = static_cast<SInt16>((screenRect->left + screenRect->right) / 2 - size.h / 2);
  r.top = static_cast<SInt16>(static_cast<SInt32>(screenHeight * 0.35 - size.v / 2));
  r.right = static_cast<SInt16>(r.left + size.h);
  r.bottom = static_cast<SInt16>(r.top + size.v);
  return r;
}

Rect RenderBoxText(GLImage* image, const char* text, const Rect* panel) {
  ImageBuff* pool = &ImagePool;
  if (ReadyImageBuff(pool) == 0) {
    pool->red = pool->green = pool->blue = pool->alpha = 0.0f;
    FillImageBuffRect(pool, &kBoxTextArea);
    pool->red = 0.85f;
    pool->green = 0.77f;
    pool->blue = 0.96f;
    pool->alpha = 1.0f;
    DrawTextToImage(pool, text, GameFonts[0], kBoxTextSize, 4.0f, 26.0f, 0);
    MakeGLImageFromBuffer(image, pool, &kBoxTextArea);
  }
  image->forceBlend = 1;
  const Point size = ShownImageSize(image);
  const auto top = static_cast<SInt16>(panel->top + 26);
  const auto left = static_cast<SInt16>(panel->left + 26);
  return Rect{top, left, static_cast<SInt16>(top + size.v), static_cast<SInt16>(left + size.h)};
}

SInt8 TypedBoxCharacter() {
  const EventRec* event = GetCurrentEventRec();
  if (!event || (event->what != kKeyDownEvent && event->what != kAutoKeyEvent)) return 0;
  if (EventHasModifier(kCommandModifier, event)) return 0;
  return static_cast<SInt8>(event->message & 0xFF);
}

void ResetBoxButton(KVButton* button) {
  button->pressValue = 0;
  button->armed = 0;
  button->clickPending = 0;
  button->rect = Rect{32, 32, 48, 64};
  button->trackRect = Rect{0, 0, 0, 0};
  button->labelImage = nullptr;
  button->enabled = 1;
  button->visible = 1;
  button->value = 0;
  button->maximum = 100;
  button->title[0] = 0;
  button->pressFactor = 0.75f;
}

void ConfirmScreen::Open(ConfirmScreen* screen, const char* message, SInt32 mode) {
  screen->mode = mode;
  LoadGameImage(&screen->panel, "MacPC/InputScreen", 1);
  screen->rect = LayoutBoxPanel(&screen->panel, &ScreenRect);
  const Rect& panel = screen->rect;

  static const unsigned char kButtonName[] = "\x06" "button";
  screen->buttons.SetName(kButtonName, -1);
  // The buttons are made anew: their old textures would be lost with them.
  for (UInt32 i = 0; i < screen->buttons.count; ++i) DeleteGLImageTexture(&screen->buttons.data[i].titleImage);
  screen->buttons.Reinit(2);
  for (UInt32 i = 0; i < screen->buttons.count; ++i) ResetBoxButton(&screen->buttons.data[i]);

  KVButton& action = screen->buttons.data[0];
  KVButton& cancel = screen->buttons.data[1];
  if (mode == kConfirmClear)
    LoadGameImage(&action.titleImage, "Graphics/Interface/Buttons/Clear", 1);
  else if (mode == kConfirmQuit)
    LoadGameImage(&action.titleImage, "Graphics/Interface/Buttons/Quit", 1);
  LoadGameImage(&cancel.titleImage, "MacPC/Cancel", 1);

  const auto buttonTop = static_cast<SInt16>(panel.bottom - 48);
  PlaceButtonImage(&action, static_cast<SInt16>(panel.right - 30 - ShownImageSize(&action.titleImage).h), buttonTop);
  PlaceButtonImage(&cancel, static_cast<SInt16>(panel.right - 280), buttonTop);

  screen->messageRect = RenderBoxText(&screen->message, message ? message : "", &panel);
  screen->Show(1);
}

void ConfirmScreen::Process() {
  for (UInt32 i = 0; i < buttons.count; ++i)
    if (static_cast<SInt8>(buttons.data[i].pressValue) > 0) --buttons.data[i].pressValue;

  MouseState mouse;
  GetMouseState(&mouse);
  const auto character = static_cast<UInt8>(TypedBoxCharacter());
  if (buttons.count < 2) return;
  if (character == 13 || character == 3) buttons.data[0].clickPending = 1;
  if (character == 27) buttons.data[1].clickPending = 1;

  for (UInt32 i = 0; i < buttons.count; ++i) {
    if (!buttons.data[i].TrackMouse(&mouse, 4, 0)) continue;
    if (mode == kConfirmClear && i == 0) {
      PlayGameSound(&gSounds->power, GetGameSource(), &rect, 1.0f, 1.0f, 0);
      // A failed write keeps the old file and the table as they were.
      if (WriteBlankScoresFile() == noErr) LoadScoresFile();
      if (gMainScreen.IsBuilt()) RenderScoreTable(gMainScreen.Pointer());
    }
    if (mode == kConfirmQuit) {
      if (i == 0) {
        QuitRequested = 1;
        GameFlags.gameOver = 1;
      }
      if (GameFlags.quitQuestionOpen > 0) --GameFlags.quitQuestionOpen;
      ClearCursorWanted();
    }
    Hide();
    return;
  }
}

void ConfirmScreen::Draw() {
  DrawScreenShade(0.5f);
  DrawGLImage(&panel, &rect);
  DrawShadowedImage(&message, &messageRect, 2, 2, 1.0f);
  for (UInt32 i = 0; i < buttons.count; ++i) buttons.data[i].Draw();
}
