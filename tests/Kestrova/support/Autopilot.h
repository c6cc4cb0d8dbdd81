// A scripted pair of players for whole-game runs: each ship steers under the
// nearest meteor or enemy above it, side-steps whatever is about to hit it,
// keeps to its row near the bottom of the field and taps fire every few
// steps (the tap also joins a player who has not joined yet). It reads the
// world and never changes it.
#pragma once

#include "GameDriver.h"

namespace gametest {

class Autopilot {
 public:
  explicit Autopilot(int fireEvery = 10) : fireEvery_(fireEvery) {}

  // The keys both players hold on the coming step.
  StepInput next();
  // Steps planned so far.
  unsigned long steps() const { return step_; }

 private:
  void Steer(int player, StepInput& input) const;

  int fireEvery_;
  unsigned long step_ = 0;
};

}  // namespace gametest
