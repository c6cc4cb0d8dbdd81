// The software blitter beside its peers (row memcpy, SDL2 surfaces, pixman)
// on the same buffers: plain copies, colour-keyed copies, nearest scaling and
// fills. Before any figure, our output is checked against the reference
// model and the peers' outputs against ours; a closing table gives each
// peer's time over ours (above 1: ours is faster) beside its target.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BlitDispatch.h"
#include "BlitterBenchHarness.h"
#include "BlitReference.h"
#include "Primitives.h"

#ifndef BLITTER_BENCH_FLAGS
#define BLITTER_BENCH_FLAGS "unknown"
#endif

namespace {

using namespace blitbench;

// ---------------------------------------------------------------- scenarios

enum class Kind { Copy, Keyed, Scale, Fill, Blend };

// A per-depth primitive in place of the dispatcher (16 bits). Its kind says
// which model and peers check and time it; Blend has neither.
enum class Prim { None, FillDoubles, FillLongsClipped, CopyDoubles, Transparent, Blend, AlphaBlend };

struct Scenario {
  std::string name;  // "copy16/640x480"
  Kind kind;
  int depth;
  int srcW, srcH;  // the source picture (a sprite or a frame)
  int dstW, dstH;  // one blit's destination size
  bool sprite;     // 256 seeded positions in a 640x480 frame
  int dataSet;     // keyed: 0 shapes, 1 scattered
  Prim prim = Prim::None;
};

struct Work {
  Scenario s;
  std::unique_ptr<Buffer> src, dst, initial, ours;
  pixman_image_t* alphaImage = nullptr;  // a1 mask of the non-key pixels, pixman's keyed peer
  std::vector<std::pair<int, int>> positions;
  uint32_t fillColour = 0;
  std::vector<UInt16> shadowTable;  // blend: 32768 entries, half of them shadows
  std::vector<UInt8> alpha;         // alpha blend: one byte 0..32 per source pixel
  bool checked = false;
  std::string ourError;                     // reference mismatch
  std::map<std::string, std::string> peerNote;  // error or scaling difference per peer

  ~Work() {
    if (alphaImage) pixman_image_unref(alphaImage);
  }
  double PixelsPerIteration() const {
    return static_cast<double>(dstW()) * dstH() * static_cast<double>(positions.size());
  }
  int dstW() const { return s.dstW; }
  int dstH() const { return s.dstH; }
};

std::vector<std::unique_ptr<Work>>& Works() {
  static std::vector<std::unique_ptr<Work>> works;
  return works;
}

Work& Prepare(Work& w) {
  if (w.src) return w;
  std::mt19937 rng(static_cast<uint32_t>(std::hash<std::string>{}(w.s.name)));
  const Scenario& s = w.s;
  const int frameW = s.sprite ? 640 : s.dstW, frameH = s.sprite ? 480 : s.dstH;
  w.src = std::make_unique<Buffer>(s.srcW, s.srcH, s.depth);
  w.dst = std::make_unique<Buffer>(frameW, frameH, s.depth);
  w.initial = std::make_unique<Buffer>(frameW, frameH, s.depth);
  w.ours = std::make_unique<Buffer>(frameW, frameH, s.depth);
  if (s.prim == Prim::Blend) {
    w.shadowTable.resize(32768);
    for (auto& e : w.shadowTable) e = static_cast<UInt16>(rng() % 2 ? 0x8000 | (rng() % 33) : 1);
  }
  if (s.prim == Prim::AlphaBlend) {
    w.alpha.resize(static_cast<size_t>(s.srcW) * static_cast<size_t>(s.srcH));
    for (auto& a : w.alpha) a = static_cast<UInt8>(rng() % 33);
  }
  if (s.kind == Kind::Keyed) {
    (s.dataSet == 0 ? FillShapes : FillScattered)(*w.src, rng);
    SDL_SetColorKey(w.src->surface(), SDL_TRUE, blitref::KeyOf(16));
    SDL_SetSurfaceRLE(w.src->surface(), 0);
    w.alphaImage = pixman_image_create_bits(PIXMAN_a1, s.srcW, s.srcH, nullptr, 0);
    auto* bits = reinterpret_cast<uint8_t*>(pixman_image_get_data(w.alphaImage));
    const int stride = pixman_image_get_stride(w.alphaImage);
    for (int y = 0; y < s.srcH; ++y)
      for (int x = 0; x < s.srcW; ++x)
        if (w.src->Get(x, y) != blitref::KeyOf(s.depth)) {
          // a1 bits run from the low bit on little-endian machines.
          bits[y * stride + x / 8] = static_cast<uint8_t>(bits[y * stride + x / 8] | (1u << (x % 8)));
        }
  } else {
    FillRandom(*w.src, rng);
  }
  FillRandom(*w.initial, rng);
  w.dst->CopyFrom(*w.initial);
  w.fillColour = RandomColour(s.depth, rng);
  if (s.sprite) {
    std::mt19937 place(256);
    for (int i = 0; i < 256; ++i)
      w.positions.emplace_back(static_cast<int>(place() % static_cast<unsigned>(640 - s.dstW + 1)),
                               static_cast<int>(place() % static_cast<unsigned>(480 - s.dstH + 1)));
  } else {
    w.positions.emplace_back(0, 0);
  }
  return w;
}

// ---------------------------------------------------------------- implementations

using Impl = void (*)(Work& w, Buffer& dst);

// The primitives address raw memory: rectangles in pixels from the base.
void OursPrimitive(Work& w, Buffer& dst, const Rect& srcRect, const Rect& r) {
  const auto srcRow = static_cast<SInt16>(w.src->rowBytes());
  const auto dstRow = static_cast<SInt16>(dst.rowBytes());
  const UInt8* src = w.src->pixels();
  switch (w.s.prim) {
    case Prim::FillDoubles: FillRectDoubles16(&r, dst.pixels(), dstRow, w.fillColour); break;
    case Prim::FillLongsClipped:
      FillRectLongsClipped16(&r, dst.pixels(), dstRow, Point{0, 0},
                             Point{static_cast<SInt16>(dst.height()), static_cast<SInt16>(dst.width())},
                             w.fillColour);
      break;
    case Prim::CopyDoubles: CopyRectDoubles16(&srcRect, &r, src, dst.pixels(), srcRow, dstRow); break;
    case Prim::Transparent: CopyRectTransparent16(&srcRect, &r, src, dst.pixels(), srcRow, dstRow); break;
    case Prim::Blend: BlendRect16(&srcRect, &r, src, dst.pixels(), srcRow, dstRow, w.shadowTable.data()); break;
    case Prim::AlphaBlend:
      AlphaBlendRect16(&srcRect, &r, src, dst.pixels(), w.alpha.data(), srcRow, dstRow,
                       static_cast<SInt16>(w.s.srcW));
      break;
    case Prim::None: break;
  }
}

void Ours(Work& w, Buffer& dst) {
  const Scenario& s = w.s;
  const Rect srcRect = MakeRect(0, 0, s.srcW, s.srcH);
  for (const auto& [x, y] : w.positions) {
    const Rect r = MakeRect(x, y, s.dstW, s.dstH);
    if (s.prim != Prim::None) {
      OursPrimitive(w, dst, srcRect, r);
      continue;
    }
    switch (s.kind) {
      case Kind::Copy:
      case Kind::Keyed: {
        const BlitMode mode = s.kind == Kind::Keyed ? 1 : 0;
        if (s.depth == 16)
          COPY16(w.src->handle(), dst.handle(), nullptr, &srcRect, &r, nullptr, mode, kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
        else
          COPY32(w.src->handle(), dst.handle(), nullptr, &srcRect, &r, nullptr, mode, kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
        break;
      }
      case Kind::Scale:
        if (s.depth == 16)
          SCALE16(w.src->handle(), dst.handle(), nullptr, &srcRect, &r, nullptr, 0, kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
        else
          SCALE32(w.src->handle(), dst.handle(), nullptr, &srcRect, &r, nullptr, 0, kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
        break;
      case Kind::Fill:
        if (s.depth == 16)
          COPY16(dst.handle(), dst.handle(), nullptr, &r, &r, nullptr, 0, w.fillColour, nullptr, nullptr, 0, 0, 0, nullptr);
        else
          COPY32(dst.handle(), dst.handle(), nullptr, &r, &r, nullptr, 0, w.fillColour, nullptr, nullptr, 0, 0, 0, nullptr);
        break;
      case Kind::Blend: break;
    }
  }
}

// Row memcpy of the destination's bytes (from the source picture; for a fill
// from the source buffer of the same size).
void Memcpy(Work& w, Buffer& dst) {
  const size_t bytes = static_cast<size_t>(w.s.dstW) * static_cast<size_t>(w.s.depth / 8);
  for (const auto& [x, y] : w.positions)
    for (int row = 0; row < w.s.dstH; ++row)
      std::memcpy(dst.row(y + row) + static_cast<size_t>(x) * (w.s.depth / 8), w.src->row(row), bytes);
}

void Sdl(Work& w, Buffer& dst) {
  const Scenario& s = w.s;
  SDL_Rect sr{0, 0, s.srcW, s.srcH};
  for (const auto& [x, y] : w.positions) {
    SDL_Rect dr{x, y, s.dstW, s.dstH};
    switch (s.kind) {
      case Kind::Copy:
      case Kind::Keyed:
        SDL_BlitSurface(w.src->surface(), &sr, dst.surface(), &dr);
        break;
      case Kind::Scale:
        SDL_BlitScaled(w.src->surface(), &sr, dst.surface(), &dr);
        break;
      case Kind::Fill:
        SDL_FillRect(dst.surface(), &dr, w.fillColour);
        break;
      case Kind::Blend: break;
    }
  }
}

void Pixman(Work& w, Buffer& dst) {
  const Scenario& s = w.s;
  for (const auto& [x, y] : w.positions) {
    switch (s.kind) {
      case Kind::Copy:
      case Kind::Scale:
        pixman_image_composite32(PIXMAN_OP_SRC, w.src->image(), nullptr, dst.image(), 0, 0, 0, 0, x, y, s.dstW, s.dstH);
        break;
      case Kind::Keyed:
        pixman_image_composite32(PIXMAN_OP_OVER, w.src->image(), w.alphaImage, dst.image(), 0, 0, 0, 0, x, y, s.dstW,
                                 s.dstH);
        break;
      case Kind::Fill:
        pixman_fill(reinterpret_cast<uint32_t*>(dst.pixels()), static_cast<int>(dst.rowBytes() / 4), s.depth, x, y,
                    s.dstW, s.dstH, w.fillColour);
        break;
      case Kind::Blend: break;
    }
  }
}

struct Peer {
  const char* name;
  Impl run;
};
constexpr Peer kImpls[] = {{"ours", Ours}, {"memcpy", Memcpy}, {"SDL", Sdl}, {"pixman", Pixman}};

bool UsesPeer(Kind kind, const std::string& peer) {
  if (kind == Kind::Blend) return peer == "ours";
  return !(kind == Kind::Keyed && peer == "memcpy") && !(kind == Kind::Scale && peer == "memcpy");
}

// ---------------------------------------------------------------- checks

// Our result against the reference model; each peer's against ours (for
// scaling only the count of differing pixels is noted).
void Check(Work& w) {
  if (w.checked) return;
  w.checked = true;
  const Scenario& s = w.s;
  if (s.kind == Kind::Blend) return;  // the unit tests check the blends
  if (s.kind == Kind::Scale) {
    // pixman scales by a transform set once on the source.
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_int_to_fixed(s.srcW) / s.dstW, pixman_int_to_fixed(s.srcH) / s.dstH);
    pixman_image_set_transform(w.src->image(), &t);
    pixman_image_set_filter(w.src->image(), PIXMAN_FILTER_NEAREST, nullptr, 0);
  }
  w.ours->CopyFrom(*w.initial);
  Ours(w, *w.ours);

  Buffer model(w.initial->width(), w.initial->height(), s.depth);
  model.CopyFrom(*w.initial);
  blitref::MapView srcView = w.src->view(), dstView = model.view();
  for (const auto& [x, y] : w.positions) {
    blitref::Request q;
    q.walk = s.kind == Kind::Scale ? blitref::Walk::Scale : blitref::Walk::Copy;
    q.depth = s.depth;
    q.src = s.kind == Kind::Fill ? &dstView : &srcView;
    q.dst = &dstView;
    q.dstRect = MakeRect(x, y, s.dstW, s.dstH);
    q.srcRect = s.kind == Kind::Fill ? q.dstRect : MakeRect(0, 0, s.srcW, s.srcH);
    q.mode = s.kind == Kind::Keyed ? 1 : 0;
    q.color = s.kind == Kind::Fill ? w.fillColour : blitref::kNoColor;
    blitref::ReferenceDispatch(q);
  }
  long wrong = 0;
  for (int y = 0; y < model.height(); ++y)
    for (int x = 0; x < model.width(); ++x) wrong += model.Get(x, y) != w.ours->Get(x, y);
  if (wrong) w.ourError = std::to_string(wrong) + " pixels differ from the reference model";

  // The x bits (bit 15, the top byte) are the peers' own business.
  const uint32_t used = s.depth == 16 ? 0x7FFF : 0x00FFFFFF;
  for (const Peer& p : kImpls) {
    const std::string name = p.name;
    if (name == "ours" || !UsesPeer(s.kind, name)) continue;
    if (name == "memcpy" && s.kind == Kind::Fill) continue;  // a speed yardstick only
    Buffer out(w.initial->width(), w.initial->height(), s.depth);
    out.CopyFrom(*w.initial);
    p.run(w, out);
    long differ = 0;
    for (int y = 0; y < out.height(); ++y)
      for (int x = 0; x < out.width(); ++x) differ += (out.Get(x, y) & used) != (w.ours->Get(x, y) & used);
    if (s.kind == Kind::Scale) {
      w.peerNote[name] = std::to_string(differ) + " px differ";
    } else if (differ) {
      w.peerNote[name] = "error: " + std::to_string(differ) + " pixels differ from ours";
    }
  }
}

void RunBench(benchmark::State& state, Work* work, const Peer* peer) {
  Work& w = Prepare(*work);
  Check(w);
  const std::string name = peer->name;
  if (name == "ours" && !w.ourError.empty()) {
    state.SkipWithError(w.ourError.c_str());
    return;
  }
  auto note = w.peerNote.find(name);
  if (note != w.peerNote.end() && note->second.rfind("error", 0) == 0) {
    state.SkipWithError(note->second.c_str());
    return;
  }
  if (note != w.peerNote.end()) state.SetLabel(note->second);
  w.dst->CopyFrom(*w.initial);
  for (auto _ : state) {
    peer->run(w, *w.dst);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(w.PixelsPerIteration()));
}

// ---------------------------------------------------------------- report

struct Target {
  const char* peer;
  double ratio;
};

// The goal for one peer of one scenario, or none.
std::optional<Target> TargetFor(const Scenario& s, const std::string& peer) {
  switch (s.kind) {
    case Kind::Copy:
    case Kind::Fill:
      if (peer == "memcpy" && !s.sprite) return Target{"memcpy", 0.9};
      return std::nullopt;
    case Kind::Keyed:
    case Kind::Scale:
      if (peer == "SDL") return Target{"SDL", 2.0};
      return std::nullopt;
    case Kind::Blend: return std::nullopt;
  }
  return std::nullopt;
}

class TableReporter : public benchmark::ConsoleReporter {
 public:
  bool ReportContext(const Context& context) override {
    cpus_ = context.cpu_info.num_cpus;
    return ConsoleReporter::ReportContext(context);
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const std::string full = r.run_name.function_name;
      const size_t cut = full.rfind('/');
      const std::string scenario = full.substr(0, cut), impl = full.substr(cut + 1);
      if (r.error_occurred) {
        errors_[scenario][impl] = r.error_message;
        continue;
      }
      const bool aggregate = r.run_type == Run::RT_Aggregate;
      if (aggregate && r.aggregate_name != "median") continue;
      if (!aggregate && r.repetitions > 1) continue;
      seconds_[scenario][impl] = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
      if (!r.report_label.empty()) labels_[scenario][impl] = r.report_label;
    }
  }

  void Finalize() override {
    std::FILE* out = stdout;
    std::fflush(stdout);
    SDL_version sdl;
    SDL_GetVersion(&sdl);
    std::fprintf(out, "\nBlitter ratios: peer time / our time (above 1: ours is faster), medians\n");
    std::fprintf(out, "CPU: %s (%d cpus)\n", CpuModel().c_str(), cpus_);
    std::fprintf(out, "Compiler flags: %s; kernels -O3\n", BLITTER_BENCH_FLAGS);
    std::fprintf(out, "SDL %d.%d.%d, pixman %s\n", sdl.major, sdl.minor, sdl.patch, pixman_version_string());
    bool allMet = true;
    for (const auto& wp : Works()) {
      const Work& w = *wp;
      const std::string& sc = w.s.name;
      if (!seconds_.count(sc) && !errors_.count(sc)) continue;
      std::fprintf(out, "\n%-28s %10s %8s %8s %10s %8s  %s\n", sc.c_str(), "time(us)", "ratio", "target", "Mpixel/s",
                   "GB/s", "note");
      for (const Peer& p : kImpls) {
        const std::string impl = p.name;
        if (!UsesPeer(w.s.kind, impl)) continue;
        if (errors_[sc].count(impl)) {
          std::fprintf(out, "  %-26s %s\n", impl.c_str(), errors_[sc][impl].c_str());
          if (impl == "ours") allMet = false;
          continue;
        }
        if (!seconds_[sc].count(impl)) continue;
        const double t = seconds_[sc][impl];
        const double pixels = w.PixelsPerIteration();
        const double mpx = pixels / t / 1e6;
        const double gbs = pixels * (w.s.depth / 8) / t / 1e9;
        std::string ratio = "-", target = "-";
        if (impl != "ours" && seconds_[sc].count("ours")) {
          const double r = t / seconds_[sc]["ours"];
          char buf[32];
          std::snprintf(buf, sizeof buf, "%.2f", r);
          ratio = buf;
          if (auto goal = TargetFor(w.s, impl)) {
            std::snprintf(buf, sizeof buf, ">=%.1f%s", goal->ratio, r >= goal->ratio ? "" : " !");
            target = buf;
            allMet = allMet && r >= goal->ratio;
          }
        }
        std::fprintf(out, "  %-26s %10.2f %8s %8s %10.1f %8.2f  %s\n", impl.c_str(), t * 1e6, ratio.c_str(),
                     target.c_str(), mpx, gbs, labels_[sc].count(impl) ? labels_[sc][impl].c_str() : "");
      }
    }
    allMet = ReportX(out, seconds_, errors_, labels_) && allMet;
    std::fprintf(out, "\n%s\n", allMet ? "Every target met." : "Some targets missed (marked !).");
    if (failed()) std::fprintf(out, "Output checks failed: see the errors above.\n");
    std::fflush(out);
  }

  // Any output that differed from the reference model, or a peer's copy,
  // keyed copy or fill that differed from ours.
  bool failed() const {
    for (const auto& [scenario, byImpl] : errors_)
      if (!byImpl.empty()) return true;
    return false;
  }

 private:
  static std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
      if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown";
  }
  int cpus_ = 0;
  std::map<std::string, std::map<std::string, double>> seconds_;
  std::map<std::string, std::map<std::string, std::string>> errors_, labels_;
};

void AddScenario(Scenario s) {
  Works().push_back(std::make_unique<Work>());
  Works().back()->s = std::move(s);
}

std::string Size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

void AddScenarios() {
  struct Shape {
    int w, h;
    bool sprite;
  };
  const Shape shapes[] = {{640, 480, false}, {1024, 768, false}, {16, 16, true}, {32, 32, true}, {64, 64, true}};
  for (int depth : {16, 32}) {
    for (const Shape& sh : shapes) {
      const std::string size = (sh.sprite ? "sprite" : "") + Size(sh.w, sh.h);
      AddScenario({"copy" + std::to_string(depth) + "/" + size, Kind::Copy, depth, sh.w, sh.h, sh.w, sh.h, sh.sprite, 0});
    }
  }
  for (int set : {0, 1}) {
    for (const Shape& sh : shapes) {
      const std::string size = (sh.sprite ? "sprite" : "") + Size(sh.w, sh.h);
      AddScenario({std::string(set == 0 ? "keyed16-shapes/" : "keyed16-scattered/") + size, Kind::Keyed, 16, sh.w,
                   sh.h, sh.w, sh.h, sh.sprite, set});
    }
  }
  struct Scale {
    int sw, sh, dw, dh;
    bool sprite;
  };
  const Scale up[] = {{320, 240, 640, 480, false}, {512, 384, 1024, 768, false}, {16, 16, 32, 32, true}, {32, 32, 64, 64, true}};
  const Scale down[] = {{1280, 960, 640, 480, false}, {2048, 1536, 1024, 768, false}, {64, 64, 32, 32, true}, {32, 32, 16, 16, true}};
  for (int depth : {16, 32}) {
    for (const Scale* list : {up, down}) {
      for (int i = 0; i < 4; ++i) {
        const Scale& c = list[i];
        const std::string name = "scale" + std::to_string(depth) + (list == up ? "-2x/" : "-half/") +
                                 (c.sprite ? "sprite" : "") + Size(c.sw, c.sh) + "-" + Size(c.dw, c.dh);
        AddScenario({name, Kind::Scale, depth, c.sw, c.sh, c.dw, c.dh, c.sprite, 0});
      }
    }
  }
  for (int depth : {16, 32}) {
    for (const Shape& sh : shapes) {
      const std::string size = (sh.sprite ? "sprite" : "") + Size(sh.w, sh.h);
      AddScenario({"fill" + std::to_string(depth) + "/" + size, Kind::Fill, depth, sh.w, sh.h, sh.w, sh.h, sh.sprite, 0});
    }
  }
  struct PrimCase {
    const char* name;
    Prim prim;
    Kind kind;
  } const prims[] = {
      {"FillRectDoubles16", Prim::FillDoubles, Kind::Fill},
      {"FillRectLongsClipped16", Prim::FillLongsClipped, Kind::Fill},
      {"CopyRectDoubles16", Prim::CopyDoubles, Kind::Copy},
      {"CopyRectTransparent16", Prim::Transparent, Kind::Keyed},
      {"BlendRect16", Prim::Blend, Kind::Blend},
      {"AlphaBlendRect16", Prim::AlphaBlend, Kind::Blend},
  };
  for (const PrimCase& pc : prims) {
    for (const Shape& sh : {shapes[0], shapes[1]}) {
      // The keyed copy reads the scattered set (about a quarter key pixels).
      AddScenario({std::string("prim-") + pc.name + "/" + Size(sh.w, sh.h), pc.kind, 16, sh.w, sh.h, sh.w, sh.h,
                   false, 1, pc.prim});
    }
  }
  for (const auto& w : Works())
    for (const Peer& p : kImpls) {
      if (!UsesPeer(w->s.kind, p.name)) continue;
      benchmark::RegisterBenchmark((w->s.name + "/" + p.name).c_str(), RunBench, w.get(), &p)
          ->Unit(benchmark::kMicrosecond)
          ->UseRealTime();
    }
}

}  // namespace

int main(int argc, char** argv) {
  AddScenarios();
  AddScenariosX();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  Works().clear();
  return reporter.failed() ? 1 : 0;
}
