#pragma once
// The command line: a command, its arguments and options, in any order.
#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Options {
  std::string command;
  std::vector<std::string> args;
  bool help = false, version = false, json = false;

  // Connection settings (the passwords come from the environment or a prompt). URL and user
  // default to VOKR_URL and VOKR_USER; the time-outs to the defaults below unless given.
  std::string url, user, wsdl, proxy, proxyBypass, proxyUser;
  int32_t connectTimeout = 30000, sendTimeout = 60000, receiveTimeout = 60000;
  std::string cacert;  // trusted certificates for TLS: handed to the plug-in as SSL_CERT_FILE

  // Working parameters; empty directories keep the plug-in's own.
  std::string tmpDir, logDir;
  int32_t logLevel = 0;
  bool timestamps = true;

  std::string plugin;  // empty: libvokr.so beside this program

  // Signing of proposals: a PEM file holding the key and its certificate.
  std::string key, keyPassword;

  // What the commands and the workflow work with.
  std::string job = "GP-2025-017";
  std::string area = "600001";
  std::vector<std::string> parcels;  // workflow: empty means a default pair
  std::string stem = "1234";
  std::string result = "412";
  std::string outDir = ".";
  std::string attachment;  // workflow: empty means one is written into outDir
  double pollInterval = 2.0;
  int32_t pollLimit = 30;

  // Single commands.
  std::string reason;                      // mark-erroneous
  bool partial = false;                    // report
  std::string stems, subdivisions, points;  // reserve-elements: counts; release-elements: number lists
  int32_t numbering = 0;                   // parcel numbering kind of element reservations
  bool wait = false;                       // export-status: poll until the run ends
  std::string charset = "CP1250", email, groups = "nemo,vlst,pkmp";
  std::string office, proceeding, zpmz, note;
  std::string applicant, birthDate, dataBox, address;
};

// Throws UsageError for an unknown option, a missing or malformed value.
Options parseOptions(int argc, char** argv);
// The help text of vokr-host around the list of commands, and the help of one command: its
// synopsis, description and the options it reads (names separated by spaces).
std::string usage(const std::string& commands);
std::string commandUsage(const std::string& synopsis, const std::string& description, const std::string& options);

} // namespace host
