#include "Backend.h"

#include <algorithm>

#include "SdlBackend.h"
#include "Sys.h"

namespace {

// Both made on first use and kept for the whole run.
Backend* gSdlBackend = nullptr;
Backend* gInstalled = nullptr;

ExternalOpener gOpener = nullptr;
void* gOpenerContext = nullptr;

// Shared by every backend so that an id stays unique for the whole run.
uint32_t gNextTimerId = 1;

}  // namespace

Backend& GetBackend() {
  if (gInstalled) return *gInstalled;
  if (!gSdlBackend) gSdlBackend = NewSdlBackend();
  return *gSdlBackend;
}

Backend* SetBackend(Backend* backend) {
  Backend* previous = gInstalled;
  gInstalled = backend;
  return previous;
}

void Backend::PostMessage(uint32_t message, uint32_t param) {
  posted_.push_back({message, param, MonotonicMilliseconds()});
}

bool Backend::TakePosted(NativeEvent& out, bool remove) {
  if (posted_.empty()) return false;
  out = NativeEvent{};
  out.kind = NativeEventKind::Posted;
  out.message = posted_.front().message;
  out.param = posted_.front().param;
  out.timeMs = posted_.front().timeMs;
  if (remove) posted_.erase(posted_.begin());
  return true;
}

int Backend::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  CursorCountChanged(show, cursorCount_);
  return cursorCount_;
}

void Backend::SetPointerAssociated(bool associated) { ::SetPointerAssociated(associated); }

void Backend::SetTextInput(bool on) {
  if (textInput_ == on) return;
  textInput_ = on;
  TextInputChanged(on);
}

uint32_t Backend::WindowAt(int x, int y) {
  for (uint32_t id : order_) {
    if (!IsWindowVisible(id)) continue;
    PlatformRect r;
    if (!GetContentRect(id, r)) continue;
    PlatformRect b = Borders(id);
    if (x >= r.left - b.left && x < r.right + b.right && y >= r.top - b.top && y < r.bottom + b.bottom) return id;
  }
  return 0;
}

uint32_t Backend::NextWindow(uint32_t id) const {
  if (id == 0) return order_.empty() ? 0 : order_.front();
  auto it = std::find(order_.begin(), order_.end(), id);
  if (it == order_.end() || ++it == order_.end()) return 0;
  return *it;
}

void Backend::AddToOrder(uint32_t id) { order_.insert(order_.begin(), id); }

void Backend::RemoveFromOrder(uint32_t id) { order_.erase(std::remove(order_.begin(), order_.end(), id), order_.end()); }

void Backend::MoveToFront(uint32_t id) {
  auto it = std::find(order_.begin(), order_.end(), id);
  if (it == order_.end()) return;
  order_.erase(it);
  order_.insert(order_.begin(), id);
}

uint32_t Backend::SetTimer(uint32_t intervalMs, TimerProc proc, void* context) {
  if (!proc) return 0;
  uint32_t id = gNextTimerId++;
  if (gNextTimerId == 0) gNextTimerId = 1;
  timers_.push_back({id, intervalMs, MonotonicMilliseconds(), proc, context});
  return id;
}

void Backend::KillTimer(uint32_t id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                timers_.end());
}

void Backend::RunDueTimers() {
  if (runningTimers_ || timers_.empty()) return;
  runningTimers_ = true;
  // A procedure may set or kill timers: walk a copy of the ids and look each
  // one up again right before it runs.
  std::vector<uint32_t> ids;
  ids.reserve(timers_.size());
  for (const Timer& t : timers_) ids.push_back(t.id);
  for (uint32_t id : ids) {
    auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) continue;
    uint32_t now = MonotonicMilliseconds();
    if (static_cast<uint32_t>(now - it->lastMs) < it->intervalMs) continue;
    it->lastMs = now;
    TimerProc proc = it->proc;
    void* context = it->context;
    proc(id, context);
  }
  runningTimers_ = false;
}

int Backend::OpenExternal(const char* text) {
  if (gOpener) return gOpener(text, gOpenerContext);
  return DefaultExternalOpener(text, nullptr);
}

ExternalOpener SetExternalOpener(ExternalOpener opener, void* context) {
  ExternalOpener previous = gOpener;
  gOpener = opener;
  gOpenerContext = context;
  return previous;
}

std::string Latin1ToUtf8(const char* latin1) {
  std::string out;
  if (!latin1) return out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(latin1); *p; ++p) {
    if (*p < 0x80) {
      out += static_cast<char>(*p);
    } else {
      out += static_cast<char>(0xC0 | (*p >> 6));
      out += static_cast<char>(0x80 | (*p & 0x3F));
    }
  }
  return out;
}

std::string Utf8ToLatin1(const char* utf8) {
  std::string out;
  if (!utf8) return out;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p) {
    if (*p < 0x80) {
      out += static_cast<char>(*p++);
      continue;
    }
    // The length a lead byte announces; a stray continuation byte is one.
    size_t length = 1;
    if ((*p & 0xE0) == 0xC0) length = 2;
    else if ((*p & 0xF0) == 0xE0) length = 3;
    else if ((*p & 0xF8) == 0xF0) length = 4;
    uint32_t code = length == 2 ? (*p & 0x1Fu) : length == 3 ? (*p & 0x0Fu) : (*p & 0x07u);
    bool whole = length > 1;
    size_t taken = 1;
    for (; taken < length; ++taken) {
      if ((p[taken] & 0xC0) != 0x80) {
        whole = false;
        break;
      }
      code = code << 6 | (p[taken] & 0x3Fu);
    }
    p += taken;
    // Overlong forms of ASCII are not letters.
    if (whole && length == 2 && code >= 0x80 && code <= 0xFF) out += static_cast<char>(code);
  }
  return out;
}
