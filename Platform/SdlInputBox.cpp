// The input box on SDL: an untitled window of its own, drawn into its
// surface, with the prompt, a multi-line edit field and two buttons.
#include <SDL.h>
#include <SDL_syswm.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include "Backend.h"
#include "InputBoxHooks.h"

namespace {

constexpr uint32_t kOkCommand = 1002;
constexpr uint32_t kCancelCommand = 1003;

struct Box {
  SDL_Window* window = nullptr;
  uint32_t windowId = 0;
  int width = 0;
  std::string prompt;
  std::string text;
  bool fieldFocused = false;  // a new window's focus is the window itself
  bool textInputWasOn = false;  // the program's own setting, put back on closing
  std::deque<InputBoxMessage> pending;
  std::vector<SDL_Event> forMainLoop;  // requests to quit or close, pushed back on closing
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

Box* gBox = nullptr;  // one box at a time
uint32_t gNextBoxId = 1;
uint32_t gBoxId = 0;
InputBoxOpenedHook gOpenedHook = nullptr;
void* gOpenedContext = nullptr;

struct Area {
  int x, y, w, h;
  bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

Area FieldArea(const Box& b) { return {5, 29, b.width - 20, 24}; }
Area OkArea(const Box& b) { return {b.width / 2 - 75, 90, 75, 24}; }
Area CancelArea(const Box& b) { return {b.width / 2 + 25, 90, 75, 24}; }

void Fill(SDL_Surface* s, const Area& a, Uint8 r, Uint8 g, Uint8 bl) {
  SDL_Rect rect{a.x, a.y, a.w, a.h};
  SDL_FillRect(s, &rect, SDL_MapRGB(s->format, r, g, bl));
}

void Frame(SDL_Surface* s, const Area& a) {
  Fill(s, {a.x, a.y, a.w, 1}, 100, 100, 100);
  Fill(s, {a.x, a.y + a.h - 1, a.w, 1}, 100, 100, 100);
  Fill(s, {a.x, a.y, 1, a.h}, 100, 100, 100);
  Fill(s, {a.x + a.w - 1, a.y, 1, a.h}, 100, 100, 100);
}

// Latin-1 text with its baseline at y; the pen's x after it.
int DrawText(SDL_Surface* s, FT_Face face, const std::string& text, int x, int y, const Area& clip) {
  if (!face) return x;
  const Uint32 black = SDL_MapRGB(s->format, 0, 0, 0);
  for (unsigned char c : text) {
    if (c == '\r' || c == '\n') continue;
    if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    for (unsigned row = 0; row < g->bitmap.rows; ++row) {
      for (unsigned col = 0; col < g->bitmap.width; ++col) {
        if (g->bitmap.buffer[row * g->bitmap.pitch + col] < 96) continue;
        const int px = x + g->bitmap_left + static_cast<int>(col), py = y - g->bitmap_top + static_cast<int>(row);
        if (!clip.Holds(px, py)) continue;
        SDL_Rect dot{px, py, 1, 1};
        SDL_FillRect(s, &dot, black);
      }
    }
    x += static_cast<int>(g->advance.x >> 6);
  }
  return x;
}

void Draw(Box& b) {
  SDL_Surface* s = SDL_GetWindowSurface(b.window);
  if (!s) return;
  const Area whole{0, 0, s->w, s->h};
  Fill(s, whole, 240, 240, 240);
  DrawText(s, b.face, b.prompt, 5, 5 + 16, {5, 5, b.width - 10, 24});
  const Area field = FieldArea(b);
  Fill(s, field, 255, 255, 255);
  Frame(s, field);
  // The field shows its last line, as a one-line view of the edit control.
  const size_t lineStart = b.text.find_last_of("\r\n");
  const std::string line = lineStart == std::string::npos ? b.text : b.text.substr(lineStart + 1);
  const int caret = DrawText(s, b.face, line, field.x + 3, field.y + 17, field);
  if (b.fieldFocused) Fill(s, {caret + 1, field.y + 4, 1, field.h - 8}, 0, 0, 0);
  for (const auto& [area, label] : {std::pair{OkArea(b), "Ok"}, std::pair{CancelArea(b), "Cancel"}}) {
    Fill(s, area, 225, 225, 225);
    Frame(s, area);
    DrawText(s, b.face, label, area.x + 12, area.y + 17, area);
  }
  SDL_UpdateWindowSurface(b.window);
}

void Changed(Box& b) {
  InputBoxMessage m;
  m.kind = InputBoxMessage::Kind::EditChanged;
  m.text = b.text;
  b.pending.push_back(m);
  Draw(b);
}

void Handle(Box& b, const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT:
      b.forMainLoop.push_back(ev);
      return;
    case SDL_WINDOWEVENT:
      if (ev.window.windowID != b.windowId) {
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) b.forMainLoop.push_back(ev);
        return;
      }
      if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
        b.pending.push_back(InputBoxMessage{});
      } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) {
        Draw(b);
      }
      return;
    case SDL_TEXTINPUT:
      if (ev.text.windowID != b.windowId || !b.fieldFocused) return;
      b.text += Utf8ToLatin1(ev.text.text);
      return Changed(b);
    case SDL_KEYDOWN: {
      if (ev.key.windowID != b.windowId || !b.fieldFocused) return;
      const SDL_Keycode key = ev.key.keysym.sym;
      if (key == SDLK_BACKSPACE && !b.text.empty()) {
        b.text.pop_back();
        return Changed(b);
      }
      if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
        b.text += "\r\n";
        return Changed(b);
      }
      if (key == SDLK_v && (ev.key.keysym.mod & KMOD_CTRL)) {
        if (char* clip = SDL_GetClipboardText()) {
          b.text += Utf8ToLatin1(clip);
          SDL_free(clip);
          return Changed(b);
        }
      }
      return;
    }
    case SDL_KEYUP:
      if (ev.key.windowID != b.windowId) return;
      if (ev.key.keysym.sym == SDLK_RETURN || ev.key.keysym.sym == SDLK_KP_ENTER) {
        InputBoxMessage m;
        m.kind = InputBoxMessage::Kind::ReturnUp;
        m.boxHasFocus = !b.fieldFocused;
        b.pending.push_back(m);
      }
      return;
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.windowID != b.windowId || ev.button.button != SDL_BUTTON_LEFT) return;
      b.fieldFocused = FieldArea(b).Holds(ev.button.x, ev.button.y);
      return Draw(b);
    case SDL_MOUSEBUTTONUP: {
      if (ev.button.windowID != b.windowId || ev.button.button != SDL_BUTTON_LEFT) return;
      InputBoxMessage m;
      m.kind = InputBoxMessage::Kind::Command;
      if (OkArea(b).Holds(ev.button.x, ev.button.y)) {
        m.command = kOkCommand;
      } else if (CancelArea(b).Holds(ev.button.x, ev.button.y)) {
        m.command = kCancelCommand;
      } else {
        return;
      }
      b.pending.push_back(m);
      return;
    }
    default:
      return;
  }
}

}  // namespace

void SetInputBoxOpenedHook(InputBoxOpenedHook hook, void* context) {
  gOpenedHook = hook;
  gOpenedContext = context;
}

uint32_t Backend::OpenInputBox(const PlatformRect& frame, const char* prompt, const char* initial,
                               const char* fontPath) {
  const char* sink = std::getenv("DUVUVU_MESSAGE_BOX");
  if (gBox || !SDL_WasInit(SDL_INIT_VIDEO) || (sink && std::strcmp(sink, "stderr") == 0)) return 0;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SDL_Window* window = SDL_CreateWindow("", frame.left, frame.top, width, height, SDL_WINDOW_SHOWN);
  if (!window) return 0;
  gBox = new Box;
  gBox->window = window;
  gBox->windowId = SDL_GetWindowID(window);
  gBox->width = width;
  gBox->prompt = prompt ? prompt : "";
  gBox->text = initial ? initial : "";
  if (fontPath && FT_Init_FreeType(&gBox->library) == 0) {
    if (FT_New_Face(gBox->library, fontPath, 0, &gBox->face) != 0 || FT_Set_Pixel_Sizes(gBox->face, 0, 12) != 0) {
      if (gBox->face) FT_Done_Face(gBox->face);
      gBox->face = nullptr;
    }
  }
  gBox->textInputWasOn = SDL_IsTextInputActive();
  SDL_StartTextInput();
  SDL_RaiseWindow(window);
  Draw(*gBox);
  gBoxId = gNextBoxId++;
  if (gOpenedHook) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
      gOpenedHook(static_cast<uint64_t>(info.info.x11.window), gOpenedContext);
  }
  return gBoxId;
}

bool Backend::NextInputBoxMessage(uint32_t box, InputBoxMessage& out) {
  if (!gBox || box != gBoxId) return false;
  if (gBox->pending.empty()) {
    SDL_PumpEvents();
    SDL_Event ev;
    // Joystick events stay queued for the joystick layer.
    while (gBox->pending.empty() &&
           SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_JOYAXISMOTION - 1) == 1)
      Handle(*gBox, ev);
  }
  if (gBox->pending.empty()) return false;
  out = gBox->pending.front();
  gBox->pending.pop_front();
  return true;
}

std::string Backend::InputBoxText(uint32_t box) { return gBox && box == gBoxId ? gBox->text : std::string(); }

void Backend::CloseInputBox(uint32_t box) {
  if (!gBox || box != gBoxId) return;
  if (!gBox->textInputWasOn) SDL_StopTextInput();
  if (gBox->face) FT_Done_Face(gBox->face);
  if (gBox->library) FT_Done_FreeType(gBox->library);
  SDL_DestroyWindow(gBox->window);
  for (SDL_Event& ev : gBox->forMainLoop) SDL_PushEvent(&ev);
  delete gBox;
  gBox = nullptr;
  gBoxId = 0;
}
