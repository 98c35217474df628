// Replaces the global operator new to count the allocations (every form
// ends in the plain or aligned one).  Allocations made by the C library
// itself (malloc behind fopen and the like) are not counted.
#include "alloc_count.h"

#include <cstdlib>
#include <new>

namespace {
uint64_t g_allocations = 0;
}

namespace kalpo::bench {
uint64_t allocations() { return g_allocations; }
}  // namespace kalpo::bench

void *operator new(std::size_t size) {
  ++g_allocations;
  if (void *p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void *operator new[](std::size_t size) { return operator new(size); }

void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
