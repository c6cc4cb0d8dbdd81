#include "Scoring.h"

#include "Effects.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Mixer.h"
#include "SpriteMotion.h"

namespace {

constexpr SInt32 kMaxScore = 9999999;

bool Flying(const Player& ship) { return ship.active && ship.state == PlayerFlying; }

void EmptyBar(StatusBar& bar) {
  bar.shown = 0;
  bar.target = 0;
  for (UInt32 i = 0; i < bar.glow.count; ++i) bar.glow.data[i] = 0;
  for (UInt32 i = 0; i < bar.on.count; ++i) bar.on.data[i] = 0;
}

}  // namespace

void AddScore(SInt8 player, SInt16 points) {
  int receiver = SharedScore ? GameFlags.scoringPlayer : player;
  if (!Flying(gPlayers[receiver])) return;
  SInt32 score = GameFlags.score[receiver] + points;
  if (score < 0) score = 0;
  if (score > kMaxScore) score = kMaxScore;
  GameFlags.score[receiver] = score;
}

void AddShield(SInt8 player, SInt8 delta) {
  StatusBar& shield = gPlayers[player].shieldBar;
  SInt8 value = static_cast<SInt8>(shield.target + delta);
  if (value < 0) value = 0;
  if (static_cast<SInt32>(value) > static_cast<SInt32>(shield.count)) value = static_cast<SInt8>(shield.count);
  shield.target = value;
  if (value == 0) BlastPlayer(player);
}

void BlastPlayer(SInt8 player) {
  Player& ship = gPlayers[player];
  SInt16 sparks = gPlayers[0].active && gPlayers[1].active ? 128 : 256;
  if (!ship.active) {
    GameFlags.gameOverDelay = 1;
    return;
  }
  const GameColor white = {1.0f, 1.0f, 1.0f};
  // Twice, so that the blast sounds on two sources at once.
  for (int i = 0; i < 2; ++i) {
    StopMixerSounds();
    PlayGameSound(&gSounds->boom1, GetGameSource(), &ship.rect, 1.0f, 1.0f, 0);
  }
  // The ship's own sparks never fade.
  GameFlags.sparkFlag = 0;
  DoSparks(sparks, 32, white, RectCentreH(ship.rect), RectCentreV(ship.rect));
  GameFlags.sparkFlag = 1;

  int other = 1 - player;
  if (SharedScore && GameFlags.scoringPlayer == player && Flying(gPlayers[other])) {
    GameFlags.scoringPlayer = static_cast<UInt8>(other);
    GameFlags.score[other] = GameFlags.score[player];
    GameFlags.score[player] = 0;
  }

  EmptyBar(ship.shieldBar);
  EmptyBar(ship.doublesBar);
  EmptyBar(ship.podBar);

  ship.state = PlayerExploding;
  ship.frame = 0;
  ship.countdown = 0;
  ship.explosionTicks = 0;
  ship.scale = 1.0f;
  GameFlags.gameOverDelay = 50;
  ship.explosionRect = {static_cast<float>(ship.rect.top), static_cast<float>(ship.rect.left),
                        static_cast<float>(ship.rect.bottom), static_cast<float>(ship.rect.right)};
}
