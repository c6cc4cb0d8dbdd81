#include "Sys.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

MessageBoxSink gSink = nullptr;
void* gSinkContext = nullptr;
SDL_Window* gOwner = nullptr;
bool gTestAnswer = true;

// Copies the box to stderr; true when a real box may also be shown.
bool CopyToStderr(const char* caption, const char* text) {
  if (*caption)
    std::fprintf(stderr, "%s: %s\n", caption, text);
  else
    std::fprintf(stderr, "%s\n", text);
  std::fflush(stderr);
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const char* mode = std::getenv("DUVUVU_MESSAGE_BOX");
  return !(mode && std::strcmp(mode, "stderr") == 0);
}

}  // namespace

void DefaultMessageBoxSink(const char* caption, const char* text, void*) {
  caption = caption ? caption : "";
  text = text ? text : "";
  // A box that cannot be shown changes nothing: the copy on stderr stands.
  if (CopyToStderr(caption, text)) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, gOwner);
}

bool ShowQuestionBox(const char* caption, const char* text) {
  caption = caption ? caption : "";
  text = text ? text : "";
  if (gSink) {
    gSink(caption, text, gSinkContext);
    return gTestAnswer;
  }
  if (!CopyToStderr(caption, text)) return true;
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
  };
  const SDL_MessageBoxData box = {SDL_MESSAGEBOX_WARNING, gOwner, caption, text, 2, buttons, nullptr};
  int pressed = 1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) return true;
  return pressed != 0;
}

void SetQuestionAnswerForTesting(bool ok) { gTestAnswer = ok; }

void ShowMessageBox(const char* caption, const char* text) {
  if (gSink)
    gSink(caption, text, gSinkContext);
  else
    DefaultMessageBoxSink(caption, text, nullptr);
}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink, void* context) {
  MessageBoxSink previous = gSink ? gSink : DefaultMessageBoxSink;
  gSink = sink;
  gSinkContext = context;
  return previous;
}

void SetMessageBoxOwnerWindow(void* window) { gOwner = static_cast<SDL_Window*>(window); }
