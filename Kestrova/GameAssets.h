// Everything the game loads from its resources folder, and the fixed tables
// set up beside it: the 27 frame sets, the colour table, the sounds, the
// images, the fonts, the trig tables and the shared image pool.
#pragma once

#include "Frame.h"
#include "GLImage.h"
#include "GameGlobals.h"
#include "GameTypes.h"
#include "ImageBuff.h"
#include "MacTypes.h"
#include "Music.h"
#include "SoundEffects.h"
#include "TextRender.h"

// The frame-set records, in registration order. Building the block runs
// InitFrame on every record in that order; taking it down disposes them in
// reverse.
struct GameFrameSets {
  Frame noaction[1];
  Frame menuPict[5];
  Frame zadado[36];
  Frame playerShip[10];
  Frame playerFire[2];
  Frame enemyFire[1];
  Frame playerShot[2];
  Frame enemyShot[1];
  Frame plasma[15];
  Frame shieldStatus[1];
  Frame pellet[2];
  Frame bossStatus[1];
  Frame enemyShield[1];
  Frame explosion[1];
  Frame engine[1];
  Frame shot[1];
  Frame enemy[5];
  Frame enemySpin[8];
  Frame enemyWing[8];
  Frame waveDisplay[1];
  Frame doublesPow[8];
  Frame shieldPow[16];
  Frame pod[8];
  Frame number[10];
  Frame bossDisplay[1];
  Frame bigFlame[1];
  Frame glow[1];
};
extern StartupObject<GameFrameSets> gFrameSets;
constexpr int kGameFrameSetCount = 27;

// The first record of each set (nil until the block is built).
extern Frame* noactionFRAME;
extern Frame* menuPictFRAME;
extern Frame* zadadoFRAME;
extern Frame* playerShipFRAME;
extern Frame* playerFireFRAME;
extern Frame* enemyFireFRAME;
extern Frame* playerShotFRAME;
extern Frame* enemyShotFRAME;
extern Frame* plasmaFRAME;
extern Frame* shieldStatusFRAME;
extern Frame* pelletFRAME;
extern Frame* bossStatusFRAME;
extern Frame* enemyShieldFRAME;
extern Frame* explosionFRAME;
extern Frame* engineFRAME;
extern Frame* shotFRAME;
extern Frame* enemyFRAME;
extern Frame* enemySpinFRAME;
extern Frame* enemyWingFRAME;
extern Frame* waveDisplayFRAME;
extern Frame* doublesPowFRAME;
extern Frame* shieldPowFRAME;
extern Frame* podFRAME;
extern Frame* numberFRAME;
extern Frame* bossDisplayFRAME;
extern Frame* bigFlameFRAME;
extern Frame* glowFRAME;

// One registered set: its table name, first record and frame count.
struct GameFrameSetEntry {
  const char* name;
  Frame** first;
  UInt8 count;
};
extern const GameFrameSetEntry kGameFrameSetTable[kGameFrameSetCount];

// The 23 sound objects. "Metal0" and "Alarm" serve the interface and the
// game alike; spare is never loaded.
struct GameSounds {
  ALSound blip;
  ALSound dink;
  ALSound metal0;
  ALSound tone;
  ALSound alarm;
  ALSound shot0;
  ALSound shot1;
  ALSound boom0;
  ALSound boom1;
  ALSound bump;
  ALSound metal1;
  ALSound spin;
  ALSound shield;
  ALSound tap;
  ALSound suck;
  ALSound engine;
  ALSound power;
  ALSound bounce;
  ALSound pod;
  ALSound flip;
  ALSound super;
  ALSound shot2;
  ALSound spare;
};
extern StartupObject<GameSounds> gSounds;

// The colour table and the game's flash colour (its fourth component 0).
enum : UInt8 {
  kColourPink = 0,  // enemy plasma colours 0..2 first
  kColourRed = 1,
  kColourBlue = 2,
  kColourMagenta = 3,
  kColourYellow = 4,
  kColourLime = 5,
  kColourOrange = 6,
  kColourPlayer0 = 7,
  kColourPlayer1 = 8,
};
constexpr int kGameColourCount = 9;
extern GameColor GameColours[kGameColourCount];
extern float FlashColour[4];

// The images the game draws by name.
struct GameImages {
  GLImage background;
  GLImage shockwave;
  GLImage pixel;
  GLImage spark;
  GLImage pixel2;
  GLImage radioOff;
  GLImage radioOn;
  GLImage volume;
  GLImage pause;
  GLImage exit;
  GLImage boss;  // the current boss's picture, loaded per level
  // The interface frames.
  GLImage cursor;
  GLImage fadeStrip;
  GLImage pressFire;
  GLImage statusBar[2];
};
extern StartupObject<GameImages> gImages;

// The 1024 x 1024 pool every PNG load and the text renderer draw into. Its
// users make it ready (ReadyImageBuff) first: its block is given back after
// each step.
extern ImageBuff ImagePool;
void ReleaseImagePool();
// 360 values each, degree 0 first; nil before LoadGameResources.
extern SInt32* CosTable;
extern SInt32* SinTable;
extern FT_Face GameFonts[2];

// Start-up entries: the frame sets, the sounds and the images are built in
// this order and taken down in reverse (textures and buffers released).
void InitGameFrameSets();
void ExitGameFrameSets();
void InitGameSounds();
void ExitGameSounds();
void InitGameImages();
void ExitGameImages();

void LoadGameResources();
// Does nothing after its first completed run.
void LoadGameAssets();
void LoadInterfaceImages();
void RegisterFrameSets();
void SetGameColors();
void LoadUISounds();
// name carries its folder ("Music/Title"); 0 or -1.
SInt32 LoadMusic(MusicPlayer* player, const char* name);
// name + ".png" below the resources folder.
void LoadGameImage(GLImage* image, const char* name, UInt8 premultiply);
// The same below "Graphics/".
void LoadGameGraphic(GLImage* image, const char* name, UInt8 premultiply);
// Left cap, middle and right cap of one picture.
void LoadThreeSliceImage(GLImage* images, const char* name, UInt8 premultiply);
struct ShadowedImage {
  GLImage image;
  GLImage shadow;
  UInt8 hasShadow = 0;
};
void LoadShadowedImage(ShadowedImage* pair, const char* name, UInt8 premultiply, float shadowValue);
// "Fonts/<name>", then "Fonts/<name>.ttf"; 0, or -1 when neither opens.
SInt16 LoadGameFont(FT_Face* face, const char* name);
// A missing, short or out-of-range file leaves the table all 0 and says so
// on stderr.
void LoadTrigTable(SInt32** table, const char* name);
// The same two loaders on a given folder or file.
SInt16 LoadGameFontFrom(FT_Face* face, const char* folder, const char* name);
void LoadTrigTableFile(SInt32** table, const char* path);
