#include "Sys.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

MessageBoxSink gSink = nullptr;
void* gSinkContext = nullptr;
SDL_Window* gOwner = nullptr;

}  // namespace

void DefaultMessageBoxSink(const char* caption, const char* text, void*) {
  caption = caption ? caption : "";
  text = text ? text : "";
  if (*caption)
    std::fprintf(stderr, "%s: %s\n", caption, text);
  else
    std::fprintf(stderr, "%s\n", text);
  std::fflush(stderr);

  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  const char* mode = std::getenv("DUVUVU_MESSAGE_BOX");
  if (mode && std::strcmp(mode, "stderr") == 0) return;
  // A box that cannot be shown changes nothing: the copy on stderr stands.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, gOwner);
}

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
