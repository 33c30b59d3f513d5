#pragma once
// The library boundary: no exception ever reaches the host. The exports of the families run
// through Family, whose every step is guarded (plugin/family.h); every other export runs its
// body through guarded() below. What the host sees of an error is decided inside the body.
#include "vokr.h"

namespace vokr::plugin {

template <class Body> void guarded(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

template <class Result, class Body> Result guarded(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

} // namespace vokr::plugin
