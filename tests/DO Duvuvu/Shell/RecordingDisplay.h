// Display services that write each drawing call as one line, for tests of
// what the dialogs draw and in which order.
#pragma once

#include <string>
#include <vector>

#include "DisplayServices.h"

class RecordingDisplay {
 public:
  // Entry i of the fake main colour table is (1000 + i, 2000 + i, 3000 + i);
  // the standard foreground colour is (1, 2, 3).
  RecordingDisplay() {
    lines().clear();
    DisplayServices s{};
    s.paintRect = [](const Rect* r, const UInt16* rgb) { Add("paint " + RectOf(*r) + " " + Rgb(rgb)); };
    s.frameRect = [](const Rect* r, const UInt16* rgb) { Add("frame " + RectOf(*r) + " " + Rgb(rgb)); };
    s.eraseRect = [](const Rect* r) { Add("erase " + RectOf(*r)); };
    s.mainDeviceColor = [](SInt32 i, UInt16* rgb) {
      rgb[0] = static_cast<UInt16>(1000 + i);
      rgb[1] = static_cast<UInt16>(2000 + i);
      rgb[2] = static_cast<UInt16>(3000 + i);
      return true;
    };
    s.setForeColor = [](const UInt16* rgb) { Add("fore " + Rgb(rgb)); };
    s.movePenTo = [](SInt16 h, SInt16 v) { Add("pen " + std::to_string(h) + "," + std::to_string(v)); };
    s.setTextStyle = [](UInt8 style) { Add("style " + std::to_string(style)); };
    s.drawText = [](ConstStr255Param text) {
      Add("text " + std::string(reinterpret_cast<const char*>(text + 1), text[0]));
    };
    s.standardForeColor = [](UInt16* rgb) {
      rgb[0] = 1;
      rgb[1] = 2;
      rgb[2] = 3;
    };
    s.setFlushHold = [](UInt8 hold) { Add("hold " + std::to_string(hold)); };
    RegisterDisplayServices(&s);
  }
  ~RecordingDisplay() { RegisterDisplayServices(nullptr); }
  RecordingDisplay(const RecordingDisplay&) = delete;
  RecordingDisplay& operator=(const RecordingDisplay&) = delete;

  static std::vector<std::string>& lines() {
    static std::vector<std::string> recorded;
    return recorded;
  }
  static std::string RectOf(const Rect& r) {
    return "{" + std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
           std::to_string(r.right) + "}";
  }
  static std::string Rgb(const UInt16* rgb) {
    return std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]);
  }

 private:
  static void Add(std::string line) { lines().push_back(std::move(line)); }
};
