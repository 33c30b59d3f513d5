#pragma once
// What the channels of one process share: the trust store, loaded once for each trust setting
// instead of once a call, and the TLS sessions, so that a new channel to a service reached
// before resumes its session instead of a full handshake. Connections are never shared: every
// load still gets a channel and a connection of its own.
#include <memory>
#include <string>

typedef void CURL;
struct x509_store_st;

namespace vokr::channel {

// Where the trusted certificates are: a bundle file and a hashed directory; an empty member
// stands for libcurl's built-in default.
struct Trust {
  std::string file;
  std::string directory;
  bool operator==(const Trust&) const = default;
};

// Makes `easy` verify servers against the shared store of `trust` and keep its TLS sessions
// in the shared cache. The store stays alive as long as the result is held (the transfer).
// Throws vokr::Error (ETransportError) when the trust setting names nothing readable.
std::shared_ptr<x509_store_st> shareTls(CURL* easy, const Trust& trust);

} // namespace vokr::channel
