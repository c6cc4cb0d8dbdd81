#include "InputScreen.h"

#include <algorithm>
#include <cstdio>

#include "ConfirmScreen.h"
#include "EventPoll.h"
#include "Events.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GamePrefs.h"
#include "InputDevices.h"
#include "MainLoop.h"
#include "MainScreen.h"
#include "ScoreTable.h"

StartupObject<std::array<InputScreen, 2>> gInputScreens;

namespace {

constexpr SInt16 kSecondBoxDrop = 96;
constexpr UInt16 kDrainMask = 62;

void RenderMainScoreTable() {
  if (gMainScreen.IsBuilt()) RenderScoreTable(gMainScreen.Pointer());
}

Rect InsetBy(Rect r, SInt16 d) {
  r.top = static_cast<SInt16>(r.top + d);
  r.left = static_cast<SInt16>(r.left + d);
  r.bottom = static_cast<SInt16>(r.bottom - d);
  r.right = static_cast<SInt16>(r.right - d);
  return r;
}

void NoteHeldKeys(InputScreen* screen) {
  KeyMap map;
  ReadKeyMap(map);
  screen->heldKeys.reset();
  for (int bit = 0; bit < 128; ++bit) {
    if (!((map[bit >> 3] >> (bit & 7)) & 1)) continue;
    const UInt8 keyCode = KeyBitToKeyCode(static_cast<UInt8>(bit));
    if (keyCode != kNoKeyCode) screen->heldKeys.set(keyCode);
  }
}

// A held key counts as let go at its key-up, or once it reads up while the
// current event is not one of its own (a key-up lost to a drain).
void ForgetReleasedKeys(InputScreen* screen, const EventRec* event) {
  const bool keyEvent = event && (event->what == kKeyDownEvent || event->what == kAutoKeyEvent ||
                                  event->what == kKeyUpEvent);
  const UInt8 eventKey = keyEvent ? static_cast<UInt8>(event->message >> 8) : kNoKeyCode;
  for (int code = 0; code < 256; ++code) {
    if (!screen->heldKeys.test(static_cast<size_t>(code))) continue;
    const bool own = eventKey == code;
    if ((own && event->what == kKeyUpEvent) || (!own && !IsKeyCodeDown(static_cast<UInt8>(code))))
      screen->heldKeys.reset(static_cast<size_t>(code));
  }
}

}  // namespace

bool IsBlankName(const std::string& name) { return name.find_first_not_of(' ') == std::string::npos; }

void InputScreen::Open(InputScreen* screen, SInt8 player, ConstStr255Param name) {
  LoadGameImage(&screen->panel, "MacPC/InputScreen", 1);
  Rect panel = LayoutBoxPanel(&screen->panel, &ScreenRect);
  if (player == 1 && (*gInputScreens)[0].active) {
    panel.top = static_cast<SInt16>(panel.top + kSecondBoxDrop);
    panel.bottom = static_cast<SInt16>(panel.bottom + kSecondBoxDrop);
  }
  screen->rect = panel;

  KVButton& ok = screen->okButton;
  ResetBoxButton(&ok);
  const UInt8 nameLength = name ? name[0] : 0;
  LoadGameImage(&ok.titleImage, "MacPC/OK", 1);
  const Point size = ShownImageSize(&ok.titleImage);
  ok.rect.left = static_cast<SInt16>(panel.right - size.h / 2 - 50);
  ok.rect.top = static_cast<SInt16>(panel.top - size.v / 2 + 72);
  ok.rect.right = static_cast<SInt16>(ok.rect.left + size.h);
  ok.rect.bottom = static_cast<SInt16>(ok.rect.top + size.v);

  TextFieldGL& field = screen->nameField;
  field.rect = Rect{static_cast<SInt16>(panel.top + 56), static_cast<SInt16>(panel.left + 234),
                    static_cast<SInt16>(panel.top + 88), static_cast<SInt16>(panel.left + 434)};
  field.trackRect = InsetBy(field.rect, 4);
  field.textRect = field.trackRect;
  // A longer name could not be stored in the table.
  field.maxLength = kPlayerNameLimit;
  field.text.clear();
  if (name) field.text.assign(reinterpret_cast<const char*>(name + 1), std::min<UInt16>(nameLength, kPlayerNameLimit));
  if (IsBlankName(field.text)) field.text.clear();
  ok.enabled = !field.text.empty();
  field.typeSound = &gSounds->dink;
  field.deleteSound = &gSounds->bounce;
  field.armed = 0;
  field.highlight = 0;
  field.Render();

  char text[96];
  std::snprintf(text, sizeof text, "Player #%d got a new high score of %ld!", player + 1,
                static_cast<long>(GameFlags.score[player == 1 ? 1 : 0]));
  screen->promptRect = RenderBoxText(&screen->prompt, text, &panel);

  field.Focus();
  screen->player = player;
  DrainEvents(kDrainMask);
  NoteHeldKeys(screen);
  screen->Show(1);
}

void InputScreen::Process() {
  if (AnimationPhase == 0) {
    nameField.BlinkCaret();
    if (static_cast<SInt8>(okButton.pressValue) > 0) --okButton.pressValue;
  }
  // The other box waits until this one closes.
  if (!IsCurrent()) return;

  MouseState mouse;
  GetMouseState(&mouse);
  const EventRec* event = GetCurrentEventRec();
  ForgetReleasedKeys(this, event);
  SInt8 character = TypedBoxCharacter();
  if (character != 0 && heldKeys.test(static_cast<UInt8>(event->message >> 8))) character = 0;
  const auto code = static_cast<UInt8>(character);
  if (code == 9) nameField.Focus();
  if ((code == 13 || code == 3) && okButton.enabled) {
    focusedField = nullptr;
    okButton.clickPending = 1;
  }
  nameField.HandleInput(&mouse, character);
  okButton.enabled = !IsBlankName(nameField.text);

  if (!okButton.TrackMouse(&mouse, 4, 0)) return;
  // A closed box keeps no focus (nor the text input that comes with it).
  if (focusedField == &nameField) focusedField = nullptr;
  RecordPlayerName(player, nameField.text.c_str());
  RenderMainScoreTable();
  Hide();
  DrainEvents(kDrainMask);
  InputScreen& first = (*gInputScreens)[0];
  if (first.active) {
    first.nameField.Focus();
    NoteHeldKeys(&first);
  } else {
    RenderMainScoreTable();
  }
}

void InputScreen::Draw() {
  DrawScreenShade(0.5f);
  DrawGLImage(&panel, &rect);
  DrawShadowedImage(&prompt, &promptRect, 2, 2, 1.0f);
  nameField.Draw();
  okButton.Draw();
}
