#pragma once
// The command line: a command, its arguments and options, in any order.
#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Options {
  std::string command;
  std::vector<std::string> args;
  bool help = false;

  // Connection settings (the passwords come from the environment or a prompt).
  std::string url, user, wsdl, proxy, proxyBypass, proxyUser;
  int32_t connectTimeout = -1, sendTimeout = -1, receiveTimeout = -1;

  // Working parameters; empty directories keep the plug-in's own.
  std::string tmpDir, logDir;
  int32_t logLevel = 0;
  bool timestamps = true;

  std::string plugin;  // empty: libvokr.so beside this program

  // Signing of proposals: a PEM file holding the key and its certificate.
  std::string key, keyPassword;

  // What the workflow works with.
  std::string job = "GP-2025-017";
  std::string area = "600001";
  std::vector<std::string> parcels;  // empty: a default pair
  std::string stem = "1234";
  std::string result = "412";
  std::string outDir = ".";
  std::string attachment;  // empty: one is written into outDir
  double pollInterval = 2.0;
  int32_t pollLimit = 30;
};

// Throws UsageError for an unknown option, a missing or malformed value.
Options parseOptions(int argc, char** argv);
std::string usage();

} // namespace host
