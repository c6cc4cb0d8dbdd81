#include "SafeSaveStream.h"

#include <sys/types.h>

#include <new>

#include "SafeSave.h"

namespace {

struct SaveCookie {
  SafeSave save;
  bool failed = false;
};

ssize_t WriteToSave(void* cookie, const char* bytes, size_t size) {
  auto* c = static_cast<SaveCookie*>(cookie);
  if (c->failed) return 0;
  if (std::fwrite(bytes, 1, size, c->save.stream()) != size) {
    c->failed = true;
    return 0;
  }
  return static_cast<ssize_t>(size);
}

int CloseSave(void* cookie) {
  auto* c = static_cast<SaveCookie*>(cookie);
  int result = 0;
  if (c->failed) {
    c->save.Abandon();
    result = EOF;
  } else if (c->save.Commit() != noErr) {
    result = EOF;
  }
  delete c;
  return result;
}

}  // namespace

std::FILE* OpenSafeSaveStream(const char* path) {
  auto* cookie = new (std::nothrow) SaveCookie;
  if (!cookie) return nullptr;
  if (!cookie->save.Open(path)) {
    delete cookie;
    return nullptr;
  }
  cookie_io_functions_t functions = {nullptr, WriteToSave, nullptr, CloseSave};
  std::FILE* stream = fopencookie(cookie, "w", functions);
  if (!stream) delete cookie;
  return stream;
}
