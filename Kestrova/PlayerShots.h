// The players' shots: their flight and everything they hit.
#pragma once

void MovePlayerShots();
