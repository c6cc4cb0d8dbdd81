// The high-score table as the main screen shows it: every row rendered once
// into the shared image pool, then kept as one image.
#pragma once

class MainScreen;

// The image is 1.6 times the screen's score-table rect; the rows the last
// game's players took are drawn in gold. A tree without a "Scores" array
// keeps the image as it was.
void RenderScoreTable(MainScreen* screen);
