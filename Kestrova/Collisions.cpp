#include "Collisions.h"

#include <algorithm>
#include <cstdlib>

void DoCollisions() {}

UInt8 RectsCollide(const Rect* a, const Rect* b) {
  int dx = std::min(std::abs(a->right - b->left), std::abs(b->right - a->left));
  int dy = std::min(std::abs(a->bottom - b->top), std::abs(b->bottom - a->top));
  return dy < dx ? 1 : 0;
}
