// The memory manager's pairs must not slow down as blocks pile up, and the
// zero-filled operator new must stay close to the C heap.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "Memory.h"

namespace {

// Pointer-block pair with state.range(0) other blocks live in the registry.
void PtrBlockPair(benchmark::State& state) {
  std::vector<Ptr> live;
  for (int64_t i = 0; i < state.range(0); ++i) live.push_back(NewPtrBlock(64));
  for (auto _ : state) {
    Ptr block = NewPtrBlock(64);
    benchmark::DoNotOptimize(block);
    DisposePtrBlock(block);
  }
  for (Ptr block : live) DisposePtrBlock(block);
}
BENCHMARK(PtrBlockPair)->Arg(10)->Arg(10000);

void HandleBlockPair(benchmark::State& state) {
  std::vector<Handle> live;
  for (int64_t i = 0; i < state.range(0); ++i) live.push_back(NewHandleBlock(64));
  for (auto _ : state) {
    Handle handle = NewHandleBlock(64);
    benchmark::DoNotOptimize(handle);
    DisposeHandleBlock(handle);
  }
  for (Handle handle : live) DisposeHandleBlock(handle);
}
BENCHMARK(HandleBlockPair)->Arg(10)->Arg(10000);

void OperatorNew64(benchmark::State& state) {
  // Called through pointers so the compiler cannot fold the pair away.
  void* (*volatile allocate)(std::size_t) = &::operator new;
  void (*volatile release)(void*) noexcept = &::operator delete;
  for (auto _ : state) {
    // A volatile store keeps the block alive; GCC 12 under ASan mangles a
    // pointer passed through DoNotOptimize.
    void* volatile block = allocate(64);
    release(block);
  }
}
BENCHMARK(OperatorNew64);

// The yardstick for operator new.
void Malloc64(benchmark::State& state) {
  for (auto _ : state) {
    void* volatile block = std::malloc(64);
    std::free(block);
  }
}
BENCHMARK(Malloc64);

}  // namespace
