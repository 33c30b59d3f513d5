#pragma once
// The library boundary: every export runs its body through guarded(), so that no exception
// ever reaches the host. What the host sees of an error is decided inside the body.
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
