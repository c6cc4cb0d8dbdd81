#include "KeyPanel.h"

#include <cstdio>
#include <cstring>

#include "DrawGame.h"
#include "EventPoll.h"
#include "Events.h"
#include "GameAssets.h"
#include "GameSound.h"
#include "ImageBuff.h"
#include "TextRender.h"

StartupObject<KeyPanel> gKeyPanel;
UInt8 KeyBoxMouseLatch = 1;
UInt16 LastKeyTaken = 65535;

namespace {

constexpr UInt16 kNoKey = 65535;
constexpr UInt8 kCapsLock = 138;
constexpr UInt8 kLastScannedKey = 142;
constexpr UInt8 kConflictTicks = 5;
constexpr SInt8 kBlinkCycleEnd = 10;  // the counter runs 0..10: 11 ticks
constexpr SInt8 kBlinkShownTicks = 5;
constexpr SInt16 kPlayerOffset = 176;
constexpr float kTextScale = 1.6f;
constexpr float kKeyTextSize = 22.4f;
constexpr UInt8 kAlignCentre = 1;
// Classic event masks: key-downs, then mouse and key events of every kind.
constexpr UInt16 kKeyDownMask = 8;
constexpr UInt16 kMouseAndKeyMask = 62;

const unsigned char kUnnamed[] = "\x09(unnamed)";
const unsigned char kPlayerName[] = "\x06player";

// Top, left, bottom, right of player 1's boxes in key order.
constexpr Rect kBoxRects[5] = {
    {356, 48, 388, 80},   // left
    {356, 112, 388, 144}, // right
    {324, 80, 356, 112},  // up
    {356, 80, 388, 112},  // down
    {428, 28, 460, 68},   // fire
};

constexpr UInt8 kDefaultKeys[2][5] = {{123, 124, 126, 125, 49}, {86, 88, 91, 87, 82}};

struct KeyName {
  UInt8 code;
  const char* name;
};

constexpr KeyName kKeyNames[] = {
    {0, "a"},     {1, "s"},     {2, "d"},     {3, "f"},     {4, "h"},     {5, "g"},     {6, "z"},
    {7, "x"},     {8, "c"},     {9, "v"},     {11, "b"},    {12, "q"},    {13, "w"},    {14, "e"},
    {15, "r"},    {16, "y"},    {17, "t"},    {18, "1"},    {19, "2"},    {20, "3"},    {21, "4"},
    {22, "6"},    {23, "5"},    {24, "+"},    {25, "9"},    {26, "7"},    {27, "-"},    {28, "8"},
    {29, "0"},    {30, "]"},    {31, "o"},    {32, "u"},    {33, "["},    {34, "i"},    {35, "p"},
    {37, "l"},    {38, "j"},    {39, "'"},    {40, "k"},    {41, ";"},    {42, "\\"},   {43, ","},
    {44, "/"},    {45, "n"},    {46, "m"},    {47, "."},    {50, "`"},
    // Keypad.
    {65, "."},    {67, "*"},    {69, "+"},    {75, "/"},    {78, "-"},    {81, "="},    {82, "0"},
    {83, "1"},    {84, "2"},    {85, "3"},    {86, "4"},    {87, "5"},    {88, "6"},    {89, "7"},
    {91, "8"},    {92, "9"},
    // Words.
    {36, "rtn"},  {48, "tab"},  {49, "spc"},  {51, "del"},  {53, "esc"},  {71, "clr"},  {76, "ent"},
    {114, "hlp"}, {115, "hom"}, {116, "pgu"}, {117, "fde"}, {119, "end"}, {121, "pgd"}, {123, "lft"},
    {124, "rgt"}, {125, "dwn"}, {126, "up"},  {136, "cmd"}, {137, "sft"}, {138, "cap"}, {139, "opt"},
    {140, "ctl"}, {192, "pow"},
    // Function keys.
    {122, "f1"},  {120, "f2"},  {99, "f3"},   {118, "f4"},  {96, "f5"},   {97, "f6"},   {98, "f7"},
    {100, "f8"},  {101, "f9"},  {109, "f10"}, {103, "f11"}, {111, "f12"}, {105, "f13"}, {107, "f14"},
    {113, "f15"},
};

const char* FindKeyName(UInt8 code) {
  for (const KeyName& entry : kKeyNames)
    if (entry.code == code) return entry.name;
  return nullptr;
}

void AppendText(StringPtr name, const char* text) {
  for (; *text && name[0] < 255; ++text) name[++name[0]] = static_cast<unsigned char>(*text);
}

// The key panel's sounds go where every game sound goes, at the box's centre.
void PlayAtBox(ALSound* sound, const Rect* rect) {
  if (!sound) return;
  PlayGameSound(sound, GetGameSource(), rect, 1.0f, 1.0f, 0);
}

bool IsSelected(const KeyPanel* panel, SInt32 p, SInt32 k) {
  return panel->selectedPlayer == p && panel->selectedKey == k;
}

void ClearSelection(KeyPanel* panel) {
  panel->selectedPlayer = -1;
  panel->selectedKey = -1;
}

void TrackBoxClick(KeyPanel* panel, const MouseState* state) {
  const Point where = state->where;
  for (SInt32 p = 0; p < panel->playerCount; ++p) {
    for (SInt32 k = 0; k < panel->keyCount; ++k) {
      const Rect& r = panel->boxes.data[p].rect.data[k];
      if (where.h < r.left || where.h >= r.right || where.v < r.top || where.v >= r.bottom) continue;
      if (IsSelected(panel, p, k)) return;
      PlayAtBox(panel->selectSound, &r);
      panel->selectedPlayer = static_cast<SInt8>(p);
      panel->selectedKey = static_cast<SInt8>(k);
      panel->blinkCounter = 0;
      // No key held or typed before the click may bind the box.
      DrainEvents(kKeyDownMask);
      ClearKeyTables();
      panel->conflictFlag = 0;
      DrainEvents(kMouseAndKeyMask);
      return;
    }
  }
  ClearSelection(panel);
}

void TakeKey(KeyPanel* panel, UInt8 code) {
  const SInt32 sp = panel->selectedPlayer;
  const SInt32 sk = panel->selectedKey;
  for (SInt32 p = 0; p < panel->playerCount; ++p) {
    for (SInt32 k = 0; k < panel->keyCount; ++k) {
      if (IsSelected(panel, p, k) || KeyBindings[p][k] != code) continue;
      PlayAtBox(panel->conflictSound, &panel->boxes.data[p].rect.data[k]);
      panel->boxes.data[p].conflicted.data[k] = kConflictTicks;
      panel->boxes.data[sp].conflicted.data[sk] = kConflictTicks;
      panel->conflictFlag = 1;
    }
  }
  if (panel->conflictFlag == 0) {
    KeyBindings[sp][sk] = code;
    PlayAtBox(panel->setSound, &panel->boxes.data[sp].rect.data[sk]);
    BuildKeyImage(panel, static_cast<SInt8>(sp), static_cast<SInt8>(sk));
    ClearSelection(panel);
  }
}

template <typename T>
void MakeArray(NamedArray<T>& array, UInt32 count, const unsigned char* name) {
  array.Reinit(count);
  array.SetName(name, -1);
}

// "player[p].<field>" as a length-prefixed name.
template <typename T>
void MakePlayerArray(NamedArray<T>& array, UInt32 count, SInt32 player, const char* field) {
  Str255 name;
  name[0] = static_cast<unsigned char>(
      std::snprintf(reinterpret_cast<char*>(name + 1), sizeof name - 1, "player[%d].%s", static_cast<int>(player), field));
  MakeArray(array, count, name);
}

void DeleteKeyImages(NamedArray<KeyBox>& boxes) {
  for (UInt32 p = 0; p < boxes.count; ++p)
    for (UInt32 k = 0; k < boxes.data[p].image.count; ++k) DeleteGLImageTexture(&boxes.data[p].image.data[k]);
}

}  // namespace

KeyPanel::KeyPanel() { boxes.SetName(kUnnamed, -1); }

KeyPanel::~KeyPanel() {
  for (GLImage& piece : framePieces) DeleteGLImageTexture(&piece);
  DeleteKeyImages(boxes);
}

void InitKeyPanel(UInt8 construct) {
  if (construct) {
    gKeyPanel.Construct();
    KeyBoxMouseLatch = 1;
    LastKeyTaken = kNoKey;
  } else {
    gKeyPanel.Destroy();
  }
}

void SetDefaultKeys() { std::memcpy(KeyBindings, kDefaultKeys, sizeof KeyBindings); }

UInt8 DefaultKeyCode(int player, int key) { return kDefaultKeys[player][key]; }

UInt8 GetKeyDisplayName(UInt8 code, StringPtr name, UInt8 bracket) {
  name[0] = 0;
  if (bracket) AppendText(name, "[");
  const char* keyName = FindKeyName(code);
  if (!keyName) keyName = "???";
  AppendText(name, keyName);
  if (bracket) AppendText(name, "]");
  if (std::strlen(keyName) != 1) return 1;
  for (int i = 1; i <= name[0]; ++i)
    if (name[i] >= 'a' && name[i] <= 'z') name[i] = static_cast<unsigned char>(name[i] - 'a' + 'A');
  return 0;
}

UInt8 IsSpecialKey(SInt16 code) {
  switch (code) {
    case 36: case 48: case 49: case 51: case 53: case 71: case 76: case 123: case 124: case 125: case 126:
    case 136: case 137: case 138: case 139: case 140:
      return 1;
    default:
      return 0;
  }
}

SInt32 KeyPanelConstant() { return 95; }

void SetupKeyPanel(KeyPanel* panel) {
  panel->playerCount = 2;
  panel->keyCount = 5;
  // The images of the last opening go before their records do.
  DeleteKeyImages(panel->boxes);
  MakeArray(panel->boxes, static_cast<UInt32>(panel->playerCount), kPlayerName);
  for (SInt32 p = 0; p < panel->playerCount; ++p) {
    KeyBox& box = panel->boxes.data[p];
    const UInt32 keys = static_cast<UInt32>(panel->keyCount);
    MakePlayerArray(box.image, keys, p, "image");
    MakePlayerArray(box.rect, keys, p, "rect");
    MakePlayerArray(box.conflicted, keys, p, "conflicted");
    const SInt16 b = static_cast<SInt16>(kPlayerOffset * p);
    for (UInt32 k = 0; k < keys; ++k) {
      const Rect& r = kBoxRects[k];
      box.rect.data[k] = Rect{r.top, static_cast<SInt16>(r.left + b), r.bottom, static_cast<SInt16>(r.right + b)};
    }
  }
  ClearSelection(panel);
  panel->conflictFlag = 0;
  for (SInt32 p = 0; p < panel->playerCount; ++p)
    for (SInt32 k = 0; k < panel->keyCount; ++k) BuildKeyImage(panel, static_cast<SInt8>(p), static_cast<SInt8>(k));
}

void BuildKeyImage(KeyPanel* panel, SInt8 player, SInt8 key) {
  if (key < 0 || key >= panel->keyCount || player < 0 || player >= panel->playerCount) return;
  KeyBox& box = panel->boxes.data[player];
  const Rect& r = box.rect.data[key];
  const Rect imageRect = {0, 0, static_cast<SInt16>(static_cast<float>(r.bottom - r.top) * kTextScale),
                          static_cast<SInt16>(static_cast<float>(r.right - r.left) * kTextScale)};
  ReadyImageBuff(&ImagePool);
  ClearImageBuff(&ImagePool);
  ImagePool.red = ImagePool.green = ImagePool.blue = ImagePool.alpha = 1.0f;
  Str255 name;
  GetKeyDisplayName(KeyBindings[player][key], name, 0);
  char text[256];
  std::memcpy(text, name + 1, name[0]);
  text[name[0]] = 0;
  const float x = static_cast<float>(imageRect.right / 2);
  const float baseline = static_cast<float>(imageRect.bottom / 2) + 6.4f;
  DrawTextToImage(&ImagePool, text, GameFonts[1], kKeyTextSize, x, baseline, kAlignCentre);
  GLImage* image = &box.image.data[key];
  MakeGLImageFromBuffer(image, &ImagePool, &imageRect);
  image->forceBlend = 1;
}

void TrackKeyBoxes(KeyPanel* panel, const MouseState* state) {
  if (state->button == 0) {
    KeyBoxMouseLatch = 1;
  } else if (KeyBoxMouseLatch == 1) {
    TrackBoxClick(panel, state);
    KeyBoxMouseLatch = 0;
  }

  for (UInt32 c = 0; c <= kLastScannedKey && panel->selectedPlayer >= 0; ++c) {
    if (!KeyWasPressed(static_cast<UInt8>(c))) continue;
    if (c != LastKeyTaken && c != kCapsLock) TakeKey(panel, static_cast<UInt8>(c));
    LastKeyTaken = static_cast<UInt16>(c);
  }
  if (LastKeyTaken != kNoKey && !KeyWasPressed(static_cast<UInt8>(LastKeyTaken))) LastKeyTaken = kNoKey;
}

void StepKeyBoxBlink(KeyPanel* panel) {
  panel->blinkCounter = panel->blinkCounter < kBlinkCycleEnd ? static_cast<SInt8>(panel->blinkCounter + 1) : 0;
  for (UInt32 p = 0; p < panel->boxes.count; ++p) {
    NamedArray<UInt8>& countdowns = panel->boxes.data[p].conflicted;
    for (UInt32 k = 0; k < countdowns.count; ++k) {
      if (countdowns.data[k] == 0) continue;
      if (--countdowns.data[k] == 0) panel->conflictFlag = 0;
    }
  }
}

void DrawKeyBoxes(KeyPanel* panel) {
  for (SInt32 p = 0; p < panel->playerCount && static_cast<UInt32>(p) < panel->boxes.count; ++p) {
    KeyBox& box = panel->boxes.data[p];
    for (SInt32 k = 0; k < panel->keyCount && static_cast<UInt32>(k) < box.rect.count; ++k) {
      const Rect* r = &box.rect.data[k];
      DrawGLImage(&box.image.data[k], r);
      const UInt8 countdown = box.conflicted.data[k];
      const bool blinkOn = IsSelected(panel, p, k) && panel->blinkCounter < kBlinkShownTicks;
      if (blinkOn || countdown != 0) DrawKeyBoxFrame(panel, r, countdown != 0);
    }
  }
}

void DrawKeyBoxFrame(KeyPanel* panel, const Rect* rect, UInt8 red) {
  const float shade = red ? 0.0f : 1.0f;
  const float colour[3] = {1.0f, shade, shade};
  GLImage* pieces = panel->framePieces;
  const SInt16 w0 = pieces[0].imageWidth;
  const SInt16 w1 = pieces[1].imageWidth;
  const SInt16 w2 = pieces[2].imageWidth;
  const Rect left = {rect->top, rect->left, rect->bottom, static_cast<SInt16>(rect->left + w0)};
  const Rect right = {rect->top, static_cast<SInt16>(rect->right - w2), rect->bottom, rect->right};
  DrawImageTintedWith(&pieces[0], &left, colour);
  DrawImageTintedWith(&pieces[2], &right, colour);
  const SInt32 end = rect->right - w2;
  SInt32 x = rect->left + w0;
  // Without a middle piece's width the tiles would never advance.
  if (w1 > 0) {
    for (; x + w1 < end; x += w1) {
      const Rect tile = {rect->top, static_cast<SInt16>(x), rect->bottom, static_cast<SInt16>(x + w1)};
      DrawImageTintedWith(&pieces[1], &tile, colour);
    }
  }
  if (x < end) {
    const Rect last = {rect->top, static_cast<SInt16>(x), rect->bottom, static_cast<SInt16>(end)};
    DrawImageTintedWith(&pieces[1], &last, colour);
  }
}
