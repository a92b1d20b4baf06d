// Forced into every file of an MSVC build: GCC's and clang's built-ins the
// code uses as hints, which MSVC lacks. A prefetch is only a hint.
#pragma once

#define __builtin_prefetch(...) ((void)0)
