// The four music loops as scores for the sequencer.
#pragma once

#include <vector>

#include "Sequencer.h"

namespace music {

// Title, Main, Game and Boss.
std::vector<Song> AllSongs();

}  // namespace music
