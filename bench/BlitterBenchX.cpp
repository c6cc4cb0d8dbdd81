// The extended 16-bit copy and scale (COPY16X, SCALE16X) beside what they
// replace or compete with: the run-time-flag COPY16XAllFlags on the same
// requests, pixman and SDL2 for the blends, SCALE16 for plain scaling, and row
// memcpy and memcpy-speed writes as the roofline. Before timing, our output is
// checked against the extended reference model, and AllFlags and SCALE16
// against ours; the peers' differing pixels are counted in the labels.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BlitDispatch.h"
#include "BlitExtended.h"
#include "BlitReferenceX.h"
#include "BlitSetup.h"
#include "BlitterBenchHarness.h"

namespace blitbench {
namespace {

enum class Peer { Ours, AllFlags, Pixman, Sdl, Scale16, Memcpy, Writes };

const char* PeerName(Peer p) {
  switch (p) {
    case Peer::Ours: return "ours";
    case Peer::AllFlags: return "AllFlags";
    case Peer::Pixman: return "pixman";
    case Peer::Sdl: return "SDL";
    case Peer::Scale16: return "SCALE16";
    case Peer::Memcpy: return "memcpy";
    case Peer::Writes: return "writes";
  }
  return "?";
}

// One request of one workload at one size.
struct CaseX {
  std::string name;
  int workload;
  bool scale;
  unsigned slot;  // the slot the request must reach
  BlitMode mode;
  std::optional<BlitTint> tint;
  bool alpha, lookup, color;
  int srcW, srcH, dstW, dstH;
  bool sprite;  // 256 seeded positions in a 640x480 frame
  std::vector<Peer> peers;
};

struct WorkX {
  CaseX c;
  std::unique_ptr<Buffer> src, dst, initial, alpha, alpha255, colourRow;
  std::vector<UInt16> table;
  std::vector<std::pair<int, int>> positions;
  UInt32 fillColour = 0;
  pixman_image_t* solid = nullptr;  // pixman's mask for a translucency level
  bool checked = false;
  std::string ourError;
  std::map<Peer, std::string> peerError, peerLabel;

  ~WorkX() {
    if (solid) pixman_image_unref(solid);
  }
  double PixelsPerIteration() const {
    return static_cast<double>(c.dstW) * c.dstH * static_cast<double>(positions.size());
  }
};

std::vector<std::unique_ptr<WorkX>>& WorksX() {
  static std::vector<std::unique_ptr<WorkX>> works;
  return works;
}

WorkX& Prepare(WorkX& w) {
  if (w.src) return w;
  const CaseX& c = w.c;
  std::mt19937 rng(static_cast<uint32_t>(std::hash<std::string>{}(c.name)));
  const int frameW = c.sprite ? 640 : c.dstW, frameH = c.sprite ? 480 : c.dstH;
  w.src = std::make_unique<Buffer>(c.srcW, c.srcH, 16);
  w.dst = std::make_unique<Buffer>(frameW, frameH, 16);
  w.initial = std::make_unique<Buffer>(frameW, frameH, 16);
  // Keyed modes read a set with about a quarter key pixels.
  (c.mode == 1 ? FillScattered : FillRandom)(*w.src, rng);
  FillRandom(*w.initial, rng);
  w.dst->CopyFrom(*w.initial);
  w.alpha = std::make_unique<Buffer>(c.srcW, c.srcH, 8);
  w.alpha255 = std::make_unique<Buffer>(c.srcW, c.srcH, 8);
  for (int y = 0; y < c.srcH; ++y) {
    for (int x = 0; x < c.srcW; ++x) {
      const uint32_t a = rng() % 33;
      w.alpha->Set(x, y, a);
      w.alpha255->Set(x, y, (a * 255 + 16) / 32);
    }
  }
  if (c.lookup) {
    w.table.resize(65536);
    for (auto& e : w.table) e = static_cast<UInt16>(rng() & 0x7FFF);
  }
  w.fillColour = RandomColour(16, rng);
  w.colourRow = std::make_unique<Buffer>(c.dstW, 1, 16);
  for (int x = 0; x < c.dstW; ++x) w.colourRow->Set(x, 0, w.fillColour);
  if (c.sprite) {
    std::mt19937 place(256);
    for (int i = 0; i < 256; ++i) {
      w.positions.emplace_back(static_cast<int>(place() % static_cast<unsigned>(640 - c.dstW + 1)),
                               static_cast<int>(place() % static_cast<unsigned>(480 - c.dstH + 1)));
    }
  } else {
    w.positions.emplace_back(0, 0);
  }
  // The peers' own settings, made once.
  if (c.tint && c.tint->level != 32) {
    const auto a = static_cast<uint16_t>(c.tint->level * 65535 / 32);
    const pixman_color_t level{0, 0, 0, a};
    w.solid = pixman_image_create_solid_fill(&level);
    SDL_SetSurfaceBlendMode(w.src->surface(), SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(w.src->surface(), static_cast<Uint8>(c.tint->level * 8));
  }
  if (c.scale) {
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_int_to_fixed(c.srcW) / c.dstW,
                                pixman_int_to_fixed(c.srcH) / c.dstH);
    for (pixman_image_t* image : {w.src->image(), w.alpha255->image()}) {
      pixman_image_set_transform(image, &t);
      pixman_image_set_filter(image, PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
  }
  return w;
}

using Entry = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*,
                       const Rect*, BlitMode, UInt32, const UInt16*, const BlitTint*, UInt8, UInt8,
                       SInt8, const Rect*, PixMapHandle, const Rect*);

void Extended(WorkX& w, Buffer& dst, Entry entry) {
  const CaseX& c = w.c;
  const Rect srcRect = MakeRect(0, 0, c.srcW, c.srcH);
  const BlitTint* tint = c.tint ? &*c.tint : nullptr;
  const UInt16* lookup = c.lookup ? w.table.data() : nullptr;
  const UInt32 colour = c.color ? w.fillColour : kBlitNoColor;
  PixMapHandle alpha = c.alpha ? w.alpha->handle() : nullptr;
  for (const auto& [x, y] : w.positions) {
    const Rect r = MakeRect(x, y, c.dstW, c.dstH);
    entry(w.src->handle(), dst.handle(), nullptr, &srcRect, &r, nullptr, c.mode, colour, lookup,
          tint, 0, 0, 0, nullptr, alpha, nullptr);
  }
}

void Run(WorkX& w, Buffer& dst, Peer peer) {
  const CaseX& c = w.c;
  const size_t rowBytes = static_cast<size_t>(c.dstW) * 2;
  switch (peer) {
    case Peer::Ours: return Extended(w, dst, c.scale ? SCALE16X : COPY16X);
    case Peer::AllFlags: return Extended(w, dst, COPY16XAllFlags);
    case Peer::Scale16: {
      const Rect srcRect = MakeRect(0, 0, c.srcW, c.srcH);
      for (const auto& [x, y] : w.positions) {
        const Rect r = MakeRect(x, y, c.dstW, c.dstH);
        SCALE16(w.src->handle(), dst.handle(), nullptr, &srcRect, &r, nullptr, c.mode,
                kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
      }
      return;
    }
    case Peer::Pixman:
      for (const auto& [x, y] : w.positions) {
        pixman_image_t* mask = c.alpha ? w.alpha255->image() : w.solid;
        pixman_image_composite32(PIXMAN_OP_OVER, w.src->image(), mask, dst.image(), 0, 0, 0, 0,
                                 x, y, c.dstW, c.dstH);
      }
      return;
    case Peer::Sdl: {
      SDL_Rect sr{0, 0, c.srcW, c.srcH};
      for (const auto& [x, y] : w.positions) {
        SDL_Rect dr{x, y, c.dstW, c.dstH};
        SDL_BlitSurface(w.src->surface(), &sr, dst.surface(), &dr);
      }
      return;
    }
    case Peer::Memcpy:
    case Peer::Writes:
      // Writes: the same bytes from one row of the colour.
      for (const auto& [x, y] : w.positions) {
        for (int row = 0; row < c.dstH; ++row) {
          const uint8_t* from = peer == Peer::Memcpy ? w.src->row(row) : w.colourRow->row(0);
          std::memcpy(dst.row(y + row) + static_cast<size_t>(x) * 2, from, rowBytes);
        }
      }
      return;
  }
}

long Differing(Buffer& a, Buffer& b) {
  long n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += (a.Get(x, y) & 0x7FFF) != (b.Get(x, y) & 0x7FFF);
  return n;
}

void Check(WorkX& w) {
  if (w.checked) return;
  w.checked = true;
  const CaseX& c = w.c;
  Buffer ours(w.initial->width(), w.initial->height(), 16);
  ours.CopyFrom(*w.initial);
  // The request must reach the slot it is named for.
  {
    const Rect srcRect = MakeRect(0, 0, c.srcW, c.srcH);
    const auto [x, y] = w.positions[0];
    const Rect r = MakeRect(x, y, c.dstW, c.dstH);
    auto setup = (c.scale ? Scale16XSetup : Copy16XSetup)(
        w.src->handle(), ours.handle(), nullptr, &srcRect, &r, nullptr, c.mode,
        c.color ? w.fillColour : kBlitNoColor, c.lookup ? w.table.data() : nullptr,
        c.tint ? &*c.tint : nullptr, 0, 0, 0, nullptr, c.alpha ? w.alpha->handle() : nullptr,
        nullptr);
    if (!setup || setup->slot != c.slot) {
      w.ourError = "the request reaches slot " + (setup ? std::to_string(setup->slot) : "none");
      return;
    }
  }
  Run(w, ours, Peer::Ours);

  Buffer model(w.initial->width(), w.initial->height(), 16);
  model.CopyFrom(*w.initial);
  blitref::MapView srcView = w.src->view(), dstView = model.view(), alphaView = w.alpha->view();
  for (const auto& [x, y] : w.positions) {
    blitref::RequestX q;
    q.base.walk = c.scale ? blitref::Walk::Scale : blitref::Walk::Copy;
    q.base.depth = 16;
    q.base.src = &srcView;
    q.base.dst = &dstView;
    q.base.srcRect = MakeRect(0, 0, c.srcW, c.srcH);
    q.base.dstRect = MakeRect(x, y, c.dstW, c.dstH);
    q.base.mode = c.mode;
    q.base.color = c.color ? w.fillColour : blitref::kNoColor;
    q.base.lookup = c.lookup ? w.table.data() : nullptr;
    if (c.alpha) q.alpha = &alphaView;
    if (c.tint) q.tint = blitref::TintX{c.tint->red, c.tint->green, c.tint->blue, c.tint->level};
    blitref::ReferenceDispatchX(q);
  }
  if (const long wrong = Differing(model, ours))
    w.ourError = std::to_string(wrong) + " pixels differ from the reference model";

  for (Peer p : c.peers) {
    // The yardsticks draw something else.
    if (p == Peer::Ours || p == Peer::Memcpy || p == Peer::Writes) continue;
    Buffer out(w.initial->width(), w.initial->height(), 16);
    out.CopyFrom(*w.initial);
    Run(w, out, p);
    const long differ = Differing(out, ours);
    if (p == Peer::AllFlags || p == Peer::Scale16) {
      if (differ) w.peerError[p] = "error: " + std::to_string(differ) + " pixels differ from ours";
    } else {
      w.peerLabel[p] = std::to_string(differ) + " px differ";
    }
  }
}

void RunBench(benchmark::State& state, WorkX* work, Peer peer) {
  WorkX& w = Prepare(*work);
  Check(w);
  if (!w.ourError.empty()) {
    state.SkipWithError(w.ourError.c_str());
    return;
  }
  if (w.peerError.count(peer)) {
    state.SkipWithError(w.peerError[peer].c_str());
    return;
  }
  if (w.peerLabel.count(peer)) state.SetLabel(w.peerLabel[peer]);
  w.dst->CopyFrom(*w.initial);
  for (auto _ : state) {
    Run(w, *w.dst, peer);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(w.PixelsPerIteration()));
}

// The goal for one peer of one case, or none: frames only; sprite rows are
// printed for what they show of the per-call cost.
std::optional<double> TargetFor(const CaseX& c, Peer peer) {
  if (c.sprite) return std::nullopt;
  switch (peer) {
    case Peer::Scale16: return 0.9;
    case Peer::AllFlags: return c.lookup ? 1.3 : 3.0;
    case Peer::Pixman: return c.scale ? 2.0 : 3.0;
    case Peer::Memcpy:
    case Peer::Writes: return 0.9;
    default: return std::nullopt;
  }
}

struct Shape {
  int srcW, srcH, dstW, dstH;
  bool sprite;
};

std::string SizeName(const Shape& s) {
  const std::string dst = std::to_string(s.dstW) + "x" + std::to_string(s.dstH);
  const std::string prefix = s.sprite ? "sprite" : "";
  if (s.srcW == s.dstW && s.srcH == s.dstH) return prefix + dst;
  return prefix + std::to_string(s.srcW) + "x" + std::to_string(s.srcH) + "-" + dst;
}

void Add(const std::string& what, int workload, bool scale, unsigned slot, BlitMode mode,
         std::optional<BlitTint> tint, bool alpha, bool lookup, bool color, const Shape& s,
         std::vector<Peer> peers) {
  auto w = std::make_unique<WorkX>();
  w->c = CaseX{std::string(scale ? "scale16x" : "copy16x") + "-w" + std::to_string(workload) +
                   "-" + what + "-mode" + std::to_string(mode) + "/" + SizeName(s),
               workload, scale, slot, mode, tint, alpha, lookup, color,
               s.srcW, s.srcH, s.dstW, s.dstH, s.sprite, std::move(peers)};
  WorksX().push_back(std::move(w));
}

}  // namespace

void AddScenariosX() {
  const Shape same[] = {{640, 480, 640, 480, false}, {1024, 768, 1024, 768, false},
                        {32, 32, 32, 32, true}, {64, 64, 64, 64, true}};
  const Shape scales[] = {{320, 240, 640, 480, false}, {32, 32, 64, 64, true},
                          {1280, 960, 640, 480, false}, {64, 64, 32, 32, true}};
  const auto tint = [](UInt8 r, UInt8 g, UInt8 b, SInt8 level) { return BlitTint{r, g, b, level}; };
  const std::vector<Peer> allFlags{Peer::Ours, Peer::AllFlags};

  // 1: what specialisation buys, against the run-time-flag kernel.
  struct Request {
    const char* what;
    unsigned slot;
    std::optional<BlitTint> tint;
    bool alpha, lookup;
  } const requests[] = {
      {"slot2-level12", 2, tint(32, 32, 32, 12), false, false},
      {"slot16", 16, std::nullopt, true, false},
      {"slot32-tint16.40.8", 32, tint(16, 40, 8, 32), false, false},
      {"slot64-U16", 64, tint(16, 16, 16, 32), false, false},
      {"slot64-U48", 64, tint(48, 48, 48, 32), false, false},
      {"slot66-U48-level12", 66, tint(48, 48, 48, 12), false, false},
      {"slot72-U16", 72, tint(16, 16, 16, 32), false, true},
      {"slot88-U16", 88, tint(16, 16, 16, 32), true, true},
  };
  for (const Shape& s : same) {
    Add("slot0", 1, false, 0, 0, std::nullopt, false, false, false, s, allFlags);
    Add("slot4", 1, false, 4, 0, std::nullopt, false, false, true, s, allFlags);
    for (const Request& q : requests)
      for (BlitMode mode : {0u, 1u})
        Add(q.what, 1, false, q.slot, mode, q.tint, q.alpha, q.lookup, false, s, allFlags);
  }
  // 2: the blends beside pixman (and SDL's surface alpha).
  for (const Shape& s : same) {
    Add("slot16", 2, false, 16, 0, std::nullopt, true, false, false, s, {Peer::Ours, Peer::Pixman});
    Add("slot2-level12", 2, false, 2, 0, tint(32, 32, 32, 12), false, false, false, s,
        {Peer::Ours, Peer::Pixman, Peer::Sdl});
  }
  // 3: scaling at 2x and 0.5x.
  for (const Shape& s : scales) {
    Add("slot0", 3, true, 0, 0, std::nullopt, false, false, false, s, {Peer::Ours, Peer::Scale16});
    Add("slot16", 3, true, 16, 0, std::nullopt, true, false, false, s, {Peer::Ours, Peer::Pixman});
  }
  // 4: the roofline.
  for (const Shape& s : same) {
    Add("slot0", 4, false, 0, 0, std::nullopt, false, false, false, s, {Peer::Ours, Peer::Memcpy});
    Add("slot4", 4, false, 4, 0, std::nullopt, false, false, true, s, {Peer::Ours, Peer::Writes});
  }
  for (const auto& w : WorksX()) {
    for (Peer p : w->c.peers) {
      benchmark::RegisterBenchmark((w->c.name + "/" + PeerName(p)).c_str(), RunBench, w.get(), p)
          ->Unit(benchmark::kMicrosecond)
          ->UseRealTime();
    }
  }
}

bool ReportX(std::FILE* out, ResultTable& seconds, NoteTable& errors, NoteTable& labels) {
  bool allMet = true;
  bool any = false;
  for (const auto& wp : WorksX()) {
    const WorkX& w = *wp;
    const std::string& sc = w.c.name;
    if (!seconds.count(sc) && !errors.count(sc)) continue;
    if (!any) std::fprintf(out, "\nExtended 16-bit copy and scale: peer time / our time\n");
    any = true;
    std::fprintf(out, "\n%-46s %10s %8s %8s %10s  %s\n", sc.c_str(), "time(us)", "ratio", "target",
                 "Mpixel/s", "note");
    for (Peer p : w.c.peers) {
      const std::string impl = PeerName(p);
      if (errors[sc].count(impl)) {
        std::fprintf(out, "  %-44s %s\n", impl.c_str(), errors[sc][impl].c_str());
        allMet = false;
        continue;
      }
      if (!seconds[sc].count(impl)) continue;
      const double t = seconds[sc][impl];
      std::string ratio = "-", target = "-";
      if (p != Peer::Ours && seconds[sc].count("ours")) {
        const double r = t / seconds[sc]["ours"];
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", r);
        ratio = buf;
        if (auto goal = TargetFor(w.c, p)) {
          std::snprintf(buf, sizeof buf, ">=%.1f%s", *goal, r >= *goal ? "" : " !");
          target = buf;
          allMet = allMet && r >= *goal;
        }
      }
      std::fprintf(out, "  %-44s %10.2f %8s %8s %10.1f  %s\n", impl.c_str(), t * 1e6,
                   ratio.c_str(), target.c_str(), w.PixelsPerIteration() / t / 1e6,
                   labels[sc].count(impl) ? labels[sc][impl].c_str() : "");
    }
  }
  return allMet;
}

}  // namespace blitbench
