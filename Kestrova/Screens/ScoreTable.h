// The high-score table as the main screen shows it: every row rendered once
// into the shared image pool, then kept as one image.
#pragma once

#include <string>

class MainScreen;
class PlistTag;

// The texts one row of the table shows. A blank row (score 0) shows none; a
// row without a name or a level shows no text for it.
struct ScoreRowTexts {
  bool shown = false;
  bool hasName = false;
  bool hasLevel = false;
  std::string name;
  std::string score;
  std::string level;
};
ScoreRowTexts FormatScoreRow(PlistTag* entry);

// The image is 1.6 times the screen's score-table rect; the rows the last
// game's players took are drawn in gold. A tree without a "Scores" array
// keeps the image as it was.
void RenderScoreTable(MainScreen* screen);
