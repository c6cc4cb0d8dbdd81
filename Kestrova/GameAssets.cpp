#include "GameAssets.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Bundle.h"
#include "GLFrame.h"
#include "GUIState.h"
#include "GameSound.h"
#include "KVButton.h"
#include "Layout.h"
#include "MainLoop.h"
#include "Memory.h"
#include "Strings.h"

StartupObject<GameFrameSets> gFrameSets;
Frame* noactionFRAME;
Frame* menuPictFRAME;
Frame* zadadoFRAME;
Frame* playerShipFRAME;
Frame* playerFireFRAME;
Frame* enemyFireFRAME;
Frame* playerShotFRAME;
Frame* enemyShotFRAME;
Frame* plasmaFRAME;
Frame* shieldStatusFRAME;
Frame* pelletFRAME;
Frame* bossStatusFRAME;
Frame* enemyShieldFRAME;
Frame* explosionFRAME;
Frame* engineFRAME;
Frame* shotFRAME;
Frame* enemyFRAME;
Frame* enemySpinFRAME;
Frame* enemyWingFRAME;
Frame* waveDisplayFRAME;
Frame* doublesPowFRAME;
Frame* shieldPowFRAME;
Frame* podFRAME;
Frame* numberFRAME;
Frame* bossDisplayFRAME;
Frame* bigFlameFRAME;
Frame* glowFRAME;

const GameFrameSetEntry kGameFrameSetTable[kGameFrameSetCount] = {
    {"noactionFRAME", &noactionFRAME, 1},         {"menuPictFRAME", &menuPictFRAME, 5},
    {"zadadoFRAME", &zadadoFRAME, 36},            {"playerShipFRAME", &playerShipFRAME, 10},
    {"playerFireFRAME", &playerFireFRAME, 2},     {"enemyFireFRAME", &enemyFireFRAME, 1},
    {"playerShotFRAME", &playerShotFRAME, 2},     {"enemyShotFRAME", &enemyShotFRAME, 1},
    {"plasmaFRAME", &plasmaFRAME, 15},            {"shieldStatusFRAME", &shieldStatusFRAME, 1},
    {"pelletFRAME", &pelletFRAME, 2},             {"bossStatusFRAME", &bossStatusFRAME, 1},
    {"enemyShieldFRAME", &enemyShieldFRAME, 1},   {"explosionFRAME", &explosionFRAME, 1},
    {"engineFRAME", &engineFRAME, 1},             {"shotFRAME", &shotFRAME, 1},
    {"enemyFRAME", &enemyFRAME, 5},               {"enemySpinFRAME", &enemySpinFRAME, 8},
    {"enemyWingFRAME", &enemyWingFRAME, 8},       {"waveDisplayFRAME", &waveDisplayFRAME, 1},
    {"doublesPowFRAME", &doublesPowFRAME, 8},     {"shieldPowFRAME", &shieldPowFRAME, 16},
    {"podFRAME", &podFRAME, 8},                   {"numberFRAME", &numberFRAME, 10},
    {"bossDisplayFRAME", &bossDisplayFRAME, 1},   {"bigFlameFRAME", &bigFlameFRAME, 1},
    {"glowFRAME", &glowFRAME, 1},
};

StartupObject<GameSounds> gSounds;
GameColor GameColours[kGameColourCount];
float FlashColour[4];
StartupObject<GameImages> gImages;
ImageBuff ImagePool;
SInt32* CosTable;
SInt32* SinTable;
FT_Face GameFonts[2];

namespace {

bool gAssetsLoaded;

constexpr int kTrigValues = 360;
constexpr int kTrigBytes = kTrigValues * 4;
// Larger values would overflow the sparks' 32-bit position arithmetic.
constexpr SInt32 kTrigLimit = 65536;

std::string ResourcesPath() {
  char path[kPathBufferSize];
  GetBundleResourcesPath(path, sizeof path);
  return path;
}

// The pool is cleared before every load, so the file can be decoded straight
// into it: a failed load leaves it clear just the same.
void LoadIntoClearPool(GLImage* image, const std::string& path, UInt8 premultiply) {
  ReadyImageBuff(&ImagePool);
  if (LoadPNGIntoClearedImageBuff(&ImagePool, path.c_str(), premultiply) != 0) return;
  const Rect used = {0, 0, ImagePool.usedHeight, ImagePool.usedWidth};
  MakeGLImage(image, ImagePool.pixels, ImagePool.rowBytes, 32, &used);
}

void SetImageForGraphics(GLImage* image, const char* name, UInt8 premultiply) {
  LoadIntoClearPool(image, std::string(name) + ".png", premultiply);
  image->forceBlend = premultiply;
}

// The records of the block in table order, for the pointers and the table.
Frame* FirstRecords(GameFrameSets& sets, int i) {
  Frame* const firsts[kGameFrameSetCount] = {
      sets.noaction,    sets.menuPict,   sets.zadado,       sets.playerShip, sets.playerFire, sets.enemyFire,
      sets.playerShot,  sets.enemyShot,  sets.plasma,       sets.shieldStatus, sets.pellet,   sets.bossStatus,
      sets.enemyShield, sets.explosion,  sets.engine,       sets.shot,       sets.enemy,      sets.enemySpin,
      sets.enemyWing,   sets.waveDisplay, sets.doublesPow,  sets.shieldPow,  sets.pod,        sets.number,
      sets.bossDisplay, sets.bigFlame,   sets.glow,
  };
  return firsts[i];
}

}  // namespace

// Start-up entries ---------------------------------------------------------------

void InitGameFrameSets() {
  if (gFrameSets.IsBuilt()) return;
  gFrameSets.Construct();
  for (int i = 0; i < kGameFrameSetCount; ++i) *kGameFrameSetTable[i].first = FirstRecords(*gFrameSets, i);
}

void ExitGameFrameSets() {
  if (!gFrameSets.IsBuilt()) return;
  // The engine's table must not keep pointers into the block.
  for (int i = kGameFrameSetCount - 1; i >= 0; --i) {
    Frame* first = *kGameFrameSetTable[i].first;
    const SInt16 slot = FindFrameSetSlot(first);
    if (slot >= 0) {
      frameLIST[slot] = nullptr;
      frameSetCapacity[slot] = 0;
      if (slot == frameSetCount - 1) --frameSetCount;
    }
    *kGameFrameSetTable[i].first = nullptr;
  }
  gFrameSets.Destroy();
}

void InitGameSounds() {
  if (!gSounds.IsBuilt()) gSounds.Construct();
}

void ExitGameSounds() {
  gSounds.Destroy();
  ClearGameSoundNames();
}

void InitGameImages() {
  if (!gImages.IsBuilt()) gImages.Construct();
}

void ExitGameImages() {
  if (gImages.IsBuilt()) {
    GameImages& images = *gImages;
    GLImage* const all[] = {&images.background, &images.shockwave,    &images.pixel,       &images.spark,
                            &images.pixel2,     &images.radioOff,     &images.radioOn,     &images.volume,
                            &images.pause,      &images.exit,         &images.boss,        &images.cursor,      &images.fadeStrip,
                            &images.pressFire,  &images.statusBar[0], &images.statusBar[1]};
    for (int i = static_cast<int>(sizeof all / sizeof all[0]) - 1; i >= 0; --i) DeleteGLImageTexture(all[i]);
    gImages.Destroy();
  }
  for (FT_Face& face : GameFonts) {
    if (face) FT_Done_Face(face);
    face = nullptr;
  }
  for (SInt32** table : {&SinTable, &CosTable}) {
    if (*table) DisposePtrBlock(*table);
    *table = nullptr;
  }
  if (ImagePool.pixels) FreeImageBuff(&ImagePool);
  ImagePool = ImageBuff{};
  gAssetsLoaded = false;
}

// Every user of the pool makes it ready and clears it before drawing, and
// reads back only what it drew: between steps its pixels are never read, and
// its 4 MB block need not be held then.
void ReleaseImagePool() {
  if (ImagePool.pixels) FreeImageBuff(&ImagePool);
}

// Loading ------------------------------------------------------------------------

void SetGameColors() {
  const GameColor table[kGameColourCount] = {
      {1.0f, 0.0f, 0.78f}, {1.0f, 0.0f, 0.0f},  {0.0f, 0.0f, 1.0f},       {1.0f, 0.0f, 1.0f}, {1.0f, 0.9f, 0.0f},
      {0.75f, 1.0f, 0.0f}, {1.0f, 0.75f, 0.0f}, {0.0f, 1.0f, 0.682353f}, {0.0f, 1.0f, 1.0f},
  };
  for (int i = 0; i < kGameColourCount; ++i) GameColours[i] = table[i];
  FlashColour[0] = FlashColour[1] = FlashColour[2] = 1.5f;
  FlashColour[3] = 0.0f;
  GameFlags.playerColour[0] = GameColours[kColourPlayer0];
  GameFlags.playerColour[1] = GameColours[kColourPlayer1];
}

void LoadUISounds() {
  LoadSound(&mainGUI.buttonClickSound, "Blip");
  LoadSound(&gSounds->blip, "Blip");
  LoadSound(&gSounds->dink, "Dink");
  LoadSound(&gSounds->metal0, "Metal0");
  LoadSound(&gSounds->tone, "Tone");
  LoadSound(&gSounds->alarm, "Alarm");
}

void RegisterFrameSets() {
  for (const GameFrameSetEntry& entry : kGameFrameSetTable) {
    Frame* first = *entry.first;
    const SInt16 index = frameSetCount;
    RegisterFrameSet(first, &index, entry.count);  // fatal past the table's end
    ++frameSetCount;
    Str255 name;
    CToPStr(entry.name, name);
    SetFrameArrayName(first, name);
    SetFrameArraySize(first, entry.count);
  }
}

void LoadInterfaceImages() {
  InitLayouts();
  RegisterFrameSets();
  LoadLayout("Zadados", "Graphics/Zadados", 1);
  LoadGameGraphic(&gImages->pixel, "Pixel", 0);
  LoadGameGraphic(&gImages->spark, "Spark", 1);
  LoadGameGraphic(&gImages->pixel2, "Pixel", 0);
  LoadGameGraphic(&gImages->radioOff, "Interface/Radio Off", 1);
  LoadGameGraphic(&gImages->radioOn, "Interface/Radio On", 1);
  LoadGameGraphic(&gImages->volume, "Interface/Volume", 1);
}

void LoadGameResources() {
  AllocImageBuff(&ImagePool, 1024, 1024);
  SetGameColors();
  LoadUISounds();
  LoadInterfaceImages();
  LoadTrigTable(&CosTable, "COS Table 360");
  LoadTrigTable(&SinTable, "SIN Table 360");
  InitTextRenderer();
  LoadGameFont(&GameFonts[0], "VAG Rounded BT");
  LoadGameFont(&GameFonts[1], "Copperplate Gothic Bold");

  // The controls render their texts into the pool at 1.6 times their size.
  mainGUI.imageBuff = &ImagePool;
  mainGUI.textScale = 1.6f;
  mainGUI.buttonTitleFont = mainGUI.titleFont = mainGUI.fieldFont = GameFonts[0];
  mainGUI.buttonTitleSize = mainGUI.titleSize = mainGUI.fieldTextSize = 18.0f;

  KVButton& button = *FullScreenButton;
  LoadGameImage(&button.titleImage, "MacPC/FullScreen", 1);
  button.rect.top = -1;
  button.rect.bottom = 34;
  button.rect.left = static_cast<SInt16>(ScreenRect.right - 29);
  button.rect.right = static_cast<SInt16>(ScreenRect.right + 6);
  button.titleImage.alpha = 0.0f;
  FullScreenButtonAlpha = 0.0f;
  button.value = 0;
}

void LoadGameAssets() {
  if (gAssetsLoaded) return;
  LoadGameImage(&gImages->background, "Background", 0);
  LoadGameGraphic(&gImages->shockwave, "Shockwave", 1);
  LoadLayout("Sprites", "Graphics/Sprites", 1);
  LoadLayout("Enemies", "Graphics/Enemies", 1);
  GLImage& overbright = plasmaFRAME[5].image;
  overbright.red = overbright.green = overbright.blue = 1.75f;
  LoadGameGraphic(&gImages->pause, "Interface/Pause", 1);
  LoadGameGraphic(&gImages->exit, "Interface/Exit", 1);
  GameSounds& s = *gSounds;
  const struct {
    ALSound* sound;
    const char* name;
  } sounds[] = {
      {&s.shot0, "Shot0"},   {&s.shot1, "Shot1"}, {&s.boom0, "Boom0"},   {&s.boom1, "Boom1"},   {&s.bump, "Bump"},
      {&s.metal0, "Metal0"}, {&s.metal1, "Metal1"}, {&s.spin, "Spin"},   {&s.shield, "Shield"}, {&s.tap, "Tap"},
      {&s.suck, "Suck"},     {&s.engine, "Engine"}, {&s.power, "Power"}, {&s.bounce, "Bounce"}, {&s.pod, "Pod"},
      {&s.flip, "Flip"},     {&s.super, "Super"},   {&s.alarm, "Alarm"}, {&s.shot2, "Shot2"},
  };
  for (const auto& entry : sounds) LoadSound(entry.sound, entry.name);
  gAssetsLoaded = true;
}

SInt32 LoadMusic(MusicPlayer* player, const char* name) {
  const std::string path = ResourcesPath() + GetPathSeparatorString() + name + ".ogg";
  const SInt32 result = MusicPlayer::Open(player, path.c_str());
  player->fileName = name;  // its short name, "Music/Game"
  return result;
}

void LoadGameImage(GLImage* image, const char* name, UInt8 premultiply) {
  SetImageForGraphics(image, name, premultiply);
}

void LoadGameGraphic(GLImage* image, const char* name, UInt8 premultiply) {
  SetImageForGraphics(image, (std::string("Graphics/") + name).c_str(), premultiply);
}

void LoadThreeSliceImage(GLImage* images, const char* name, UInt8 premultiply) {
  ReadyImageBuff(&ImagePool);
  if (LoadPNGIntoClearedImageBuff(&ImagePool, (std::string(name) + ".png").c_str(), premultiply) != 0) return;
  const SInt16 w = ImagePool.usedWidth;
  const SInt16 h = ImagePool.usedHeight;
  const SInt16 q = static_cast<SInt16>(w * 0.25);
  const SInt16 m = static_cast<SInt16>(w * 0.5);
  // Each piece carries its neighbours' edge columns so filtering at the seams
  // stays continuous; kept inside the picture for very narrow ones.
  auto column = [w](SInt32 c) { return static_cast<SInt16>(c < 0 ? 0 : (c > w ? w : c)); };
  const Rect regions[3] = {{0, 0, h, column(q + 1)},
                           {0, column(q - 2), h, column(q + m + 2)},
                           {0, column(q + m - 1), h, column(2 * q + m)}};
  const Rect shown[3] = {{0, 0, h, q}, {0, 2, h, static_cast<SInt16>(m + 2)}, {0, 1, h, static_cast<SInt16>(q + 1)}};
  for (int i = 0; i < 3; ++i) {
    RemakeGLImageFromBuffer(&images[i], &ImagePool, &regions[i]);
    SetGLImageTexCoords(&images[i], &shown[i]);
    images[i].forceBlend = premultiply;
  }
}

// The shadow's value changes nothing in the load: the shadow is the same
// picture, tinted below.
void LoadShadowedImage(ShadowedImage* pair, const char* name, UInt8 premultiply, float) {
  const std::string path = std::string(name) + ".png";
  LoadIntoClearPool(&pair->image, path, premultiply);
  LoadIntoClearPool(&pair->shadow, path, premultiply);
  pair->hasShadow = 1;
  pair->shadow.red = pair->shadow.green = pair->shadow.blue = 0.0f;
  pair->shadow.alpha = 0.75f;
}

SInt16 LoadGameFontFrom(FT_Face* face, const char* folder, const char* name) {
  std::string path = std::string(folder) + GetPathSeparatorString() + name;
  *face = OpenFontFace(path.c_str());
  if (!*face) {
    path += ".ttf";
    *face = OpenFontFace(path.c_str());
  }
  return *face ? 0 : -1;
}

SInt16 LoadGameFont(FT_Face* face, const char* name) {
  const std::string folder = ResourcesPath() + GetPathSeparatorString() + "Fonts";
  return LoadGameFontFrom(face, folder.c_str(), name);
}

void LoadTrigTableFile(SInt32** table, const char* path) {
  if (*table) DisposePtrBlock(*table);
  *table = reinterpret_cast<SInt32*>(NewPtrBlockClear(kTrigBytes));
  UInt8 bytes[kTrigBytes];
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    std::fprintf(stderr, "Trig table \"%s\" cannot be opened; its values stay 0.\n", path);
    return;
  }
  const size_t got = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  if (got < sizeof bytes) {
    std::fprintf(stderr, "Trig table \"%s\" holds %zu of its %d bytes; its values stay 0.\n", path, got, kTrigBytes);
    return;
  }
  SInt32 values[kTrigValues];
  for (int i = 0; i < kTrigValues; ++i) {
    const UInt32 word = (UInt32{bytes[4 * i]} << 24) | (UInt32{bytes[4 * i + 1]} << 16) |
                        (UInt32{bytes[4 * i + 2]} << 8) | UInt32{bytes[4 * i + 3]};
    values[i] = static_cast<SInt32>(word);
    if (values[i] > kTrigLimit || values[i] < -kTrigLimit) {
      std::fprintf(stderr, "Trig table \"%s\" holds %d at degree %d, beyond +-%d; its values stay 0.\n", path,
                   values[i], i, kTrigLimit);
      return;
    }
  }
  for (int i = 0; i < kTrigValues; ++i) (*table)[i] = values[i];
}

void LoadTrigTable(SInt32** table, const char* name) {
  const std::string path = ResourcesPath() + "/" + name;
  LoadTrigTableFile(table, path.c_str());
}
