#pragma once
// Helpers shared by the schema tests: wire texts from data files, the security header,
// reading an answer in chunks of a chosen size.
#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "schema/reader.h"
#include "schema/remotable.h"
#include "schema/security.h"

namespace vokr::schema::testing {

// A wire text kept under tests/data/schema. The files end with one line end for the sake of
// editors; it is not part of the text.
inline std::string wireText(std::string_view name) {
  std::ifstream in(std::string(VOKR_TEST_DATA) + "/schema/" + std::string(name), std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

inline Security securityHeader(std::string user, std::string password) {
  Security header;
  header.UsernameToken = std::make_unique<UsernameToken>();
  header.UsernameToken->Username = std::move(user);
  header.UsernameToken->Password = std::move(password);
  return header;
}

// From "<SOAP-ENV:Body" to "</SOAP-ENV:Body>", both included.
inline std::string bodyOf(const std::string& envelope) {
  size_t from = envelope.find("<SOAP-ENV:Body");
  size_t to = envelope.find("</SOAP-ENV:Body>");
  if (from == std::string::npos || to == std::string::npos) return envelope;
  return envelope.substr(from, to + 16 - from);
}

// Feeds `text` in chunks of `chunk` bytes and returns the response, cast to its class.
template <class Response>
std::unique_ptr<Response> read(const ClassInfo& cls, std::string_view text, size_t chunk = 4096,
                               std::string_view contentType = "text/xml; charset=utf-8") {
  ResponseReader reader(cls, contentType);
  for (size_t at = 0; at < text.size(); at += chunk)
    reader.feed(text.data() + at, std::min(chunk, text.size() - at));
  std::unique_ptr<TRemotable> object = reader.finish();
  auto* typed = dynamic_cast<Response*>(object.get());
  if (!typed) return nullptr;
  object.release();
  return std::unique_ptr<Response>(typed);
}

template <class Response>
std::unique_ptr<Response> read(Operation op, std::string_view text, size_t chunk = 4096,
                               std::string_view contentType = "text/xml; charset=utf-8") {
  return read<Response>(*operationInfo(op).response, text, chunk, contentType);
}

} // namespace vokr::schema::testing
