#pragma once
// The built plug-in, loaded as a host loads it (dlopen, LoadLibrary), and called through typed
// pointers. Every test that loads it gets a freshly initialised library (unloaded again at the
// end). The loading itself is in posix/ and win32/.
#include <cstdint>
#include <stdexcept>
#include <string>

#if defined(__i386__)
#define HOST_STDCALL __attribute__((stdcall))
#define HOST_REGISTER __attribute__((regparm(1)))
#else
#define HOST_STDCALL
#define HOST_REGISTER
#endif

namespace vokr::test {

class Plugin {
public:
  explicit Plugin(const std::string& path = VOKR_LIBRARY_PATH);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  template <class Fn> Fn* fn(const char* name) const {
    void* p = symbol(name);
    if (!p) throw std::runtime_error(std::string("missing export ") + name);
    return reinterpret_cast<Fn*>(p);
  }
  void* symbol(const char* name) const;
  const std::string& path() const { return path_; }

private:
  std::string path_;
  void* handle_;
};

// The shapes of the exports, argument by argument as the host pushes them.
using ShortTextFn = void HOST_STDCALL(uint8_t* text, int32_t capacity);
using OpenArrayFn = void HOST_STDCALL(char* text, int32_t high);
using RecordFn = void HOST_STDCALL(void* record);
using NoArgFn = void HOST_STDCALL();
using LoadFn = void HOST_STDCALL(void* in, char* result, int32_t high);      // In, result text
using LoadNoInFn = void HOST_STDCALL(char* result, int32_t high);            // result text only
using GetFn = void HOST_STDCALL(char* ignored, int32_t high, void* out);     // ignored, Out
using FreeFn = void HOST_STDCALL(char* ignored, int32_t high);               // ignored
using RegisterCountsFn = void HOST_REGISTER(void* counts);                   // EAX
using PlainLoadFn = void HOST_STDCALL(void* in);                             // In
using PlainGetFn = void HOST_STDCALL(void* out);                             // Out or Counts

} // namespace vokr::test
