// Opens the main screen from a test, as the title screen or the game step
// would: its loaders wait on ticks, so the fake clock moves meanwhile.
#pragma once

#include "GameDriver.h"
#include "Screens/MainScreen.h"

inline void OpenMainScreenIn(gametest::GameDriver& driver) {
  testsupport::FakeClock& clock = driver.clock();
  const uint64_t saved = clock.stepPerRead;
  clock.stepPerRead = 100000;
  MainScreen::Open(gMainScreen.Pointer());
  clock.stepPerRead = saved;
}
