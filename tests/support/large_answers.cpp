#include "large_answers.h"

#include <algorithm>
#include <memory>
#include <openssl/evp.h>

namespace vokr::test {

Answer noiseFileAnswer(const std::string& templ, uint64_t size, uint64_t seed) {
  struct Text {
    std::string pending, suffix;
    size_t taken = 0;
    uint64_t left;
    Noise noise;
    bool suffixSent = false;

    // The next piece of the answer after the prefix; false at the end.
    bool refill() {
      taken = 0;
      if (left > 0) {
        uint8_t raw[3 * 16384];
        const size_t take = size_t(std::min<uint64_t>(sizeof raw, left));
        noise.fill(raw, take);
        left -= take;
        pending.resize((take + 2) / 3 * 4 + 1);
        pending.resize(size_t(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(pending.data()), raw, int(take))));
        return true;
      }
      if (suffixSent) return false;
      pending = suffix;
      suffixSent = true;
      return true;
    }
  };
  const size_t mark = templ.find("@CONTENT@");
  auto text = std::make_shared<Text>(Text{templ.substr(0, mark), templ.substr(mark + 9), 0, size, Noise(seed)});
  Answer a;
  a.headers = {{"Content-Type", "text/xml; charset=utf-8"}};
  a.generatedLength = mark + (size + 2) / 3 * 4 + text->suffix.size();
  a.generator = [text](char* out, size_t n) -> size_t {
    size_t written = 0;
    while (written < n) {
      if (text->taken == text->pending.size() && !text->refill()) break;
      const size_t chunk = std::min(n - written, text->pending.size() - text->taken);
      std::memcpy(out + written, text->pending.data() + text->taken, chunk);
      text->taken += chunk;
      written += chunk;
    }
    return written;
  };
  return a;
}

} // namespace vokr::test
