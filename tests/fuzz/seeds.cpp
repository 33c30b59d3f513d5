// Makes the starting corpus of a fuzz target from the wire texts under tests/data, in the
// input form of that target (see the comment at the top of each *_fuzz.cpp):
//
//   vokr_fuzz_seeds TARGET DATA_DIR OUT_DIR
//   vokr_fuzz_seeds names      (prints the schema's names as libFuzzer dictionary lines)
//
// The reader's seeds name the operation whose response class the body element is, found
// through the registry, so that no table of operations is kept here.
#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "schema/registry.h"
#include "schema/remotable.h"

using namespace vokr;
namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxSeed = 32 * 1024;
constexpr std::string_view kBoundary = "MIMEBoundary_fuzz";

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

std::vector<fs::path> files(const fs::path& dir, std::initializer_list<std::string_view> endings) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    for (std::string_view e : endings)
      if (entry.is_regular_file() && name.ends_with(e) && entry.file_size() <= kMaxSeed)
        found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

struct Writer {
  fs::path dir;
  size_t count = 0;
  void operator()(const std::string& seed) {
    std::ofstream(dir / ("seed-" + std::to_string(count++)), std::ios::binary) << seed;
  }
};

// Local name of the first element inside the SOAP body, e.g. "VratSouborZPMZResponse".
std::string bodyElement(std::string_view text) {
  size_t body = text.find("Body");
  size_t open = body == std::string_view::npos ? body : text.find('<', body);
  if (open == std::string_view::npos) return {};
  size_t end = text.find_first_of(" \t\r\n/>", open + 1);
  std::string_view name = text.substr(open + 1, end - open - 1);
  size_t colon = name.find(':');
  return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

// The operations whose answer is that element; the first operation when none is (a fault).
std::vector<uint8_t> operationsAnswering(std::string_view element) {
  std::vector<uint8_t> ops;
  for (size_t i = 0; i < schema::kOperationCount; ++i)
    if (schema::operationInfo(static_cast<schema::Operation>(i)).response->xmlName == element)
      ops.push_back(static_cast<uint8_t>(i));
  if (ops.empty()) ops.push_back(0);
  return ops;
}

std::string header(uint8_t op, uint8_t flags, std::string_view answer) {
  std::string h{char(op), char(flags)};
  uint32_t seed = static_cast<uint32_t>(fuzz::hashOf(answer));
  h.append(reinterpret_cast<const char*>(&seed), sizeof seed);
  return h;
}

std::string mtomContentType(std::string_view boundary, std::string_view start) {
  std::string type = "multipart/related; type=\"application/xop+xml\"; boundary=\"" + std::string(boundary) + "\"";
  if (!start.empty()) type += "; start=\"<" + std::string(start) + ">\"";
  return type + "; start-info=\"text/xml\"";
}

// An answer as the root part of an MTOM body.
std::string wrapped(std::string_view xml) {
  return "--" + std::string(kBoundary) +
         "\r\nContent-Type: application/xop+xml; charset=UTF-8; type=\"text/xml\"\r\n"
         "Content-ID: <root@fuzz>\r\n\r\n" +
         std::string(xml) + "\r\n--" + std::string(kBoundary) + "--\r\n";
}

// Boundary and root Content-ID of a stored MTOM answer.
std::pair<std::string, std::string> mimeShape(const std::string& body) {
  std::string boundary, start;
  std::istringstream lines(body);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (boundary.empty() && line.starts_with("--")) boundary = line.substr(2);
    if (start.empty() && line.starts_with("Content-ID: <")) start = line.substr(13, line.size() - 14);
  }
  return {boundary, start};
}

void readerSeeds(const fs::path& data, Writer& write) {
  for (const fs::path& file : files(data, {".response.xml"})) {
    std::string xml = contents(file);
    for (uint8_t op : operationsAnswering(bodyElement(xml))) {
      write(header(op, 0, xml) + xml);
      write(header(op, 3, xml) + mtomContentType(kBoundary, "root@fuzz") + "\r\n" + wrapped(xml));
    }
  }
  for (const fs::path& file : files(data, {".mime"})) {
    std::string body = contents(file);
    auto [boundary, start] = mimeShape(body);
    for (uint8_t op : operationsAnswering(bodyElement(body)))
      write(header(op, 1, body) + mtomContentType(boundary, start) + "\r\n" + body);
  }
}

void multipartSeeds(const fs::path& data, Writer& write) {
  for (const fs::path& file : files(data, {".mime"})) {
    std::string body = contents(file);
    write(mtomContentType(mimeShape(body).first, {}) + "\n" + body);
  }
  for (const fs::path& file : files(data, {".response.xml"}))
    write(mtomContentType(kBoundary, "root@fuzz") + "\n" + wrapped(contents(file)));
}

void dateTimeSeeds(const fs::path& data, Writer& write) {
  std::set<std::string> seen;
  for (const fs::path& file : files(data, {".xml"})) {
    std::string text = contents(file);
    for (size_t at = 0; (at = text.find_first_of("0123456789", at)) != std::string::npos;) {
      size_t end = text.find_first_not_of("0123456789-T:.+Z", at);
      std::string candidate = text.substr(at, end - at);
      if (candidate.size() >= 10 && candidate[4] == '-' && seen.insert(candidate).second) write(candidate);
      at = end;
    }
  }
}

void fixupSeeds(const fs::path& data, Writer& write) {
  // Every request the writer made, under the first operation bytes (the target takes the byte
  // modulo its list of operations, with and without fix-ups).
  for (const fs::path& file : files(data / "channel", {".written.xml"}))
    for (int op = 0; op < 6; ++op) write(char(op) + contents(file));
}

std::string toCp1250(const std::string& utf8) {
  iconv_t cd = iconv_open("CP1250//TRANSLIT", "UTF-8");
  std::string out(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  char* o = out.data();
  size_t inLeft = utf8.size(), outLeft = out.size();
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

void codePageSeeds(const fs::path& data, Writer& write) {
  for (const fs::path& file : files(data, {".xml", ".txt"})) {
    std::string text = contents(file).substr(0, 1024);
    write(std::string{'\0', char(40)} + text);
    write(std::string{'\1', char(40)} + text);
    std::string cp1250 = toCp1250(text);
    if (!cp1250.empty()) write(std::string{'\1', char(40)} + cp1250);
  }
}

// Element and attribute names and enumeration texts of every answer: what the reader matches.
void collectNames(const schema::ClassInfo& c, std::set<std::string_view>& names,
                  std::set<const schema::ClassInfo*>& seen) {
  if (!seen.insert(&c).second) return;
  names.insert(c.xmlName);
  for (const schema::MemberInfo* m : c.wireMembers()) {
    names.insert(m->wireName());
    names.insert(m->options.itemName);
    if (m->enumeration) names.insert(m->enumeration->texts.begin(), m->enumeration->texts.end());
    if (m->objectClass) collectNames(*m->objectClass, names, seen);
  }
}

void printNames() {
  std::set<std::string_view> names;
  std::set<const schema::ClassInfo*> seen;
  for (size_t i = 0; i < schema::kOperationCount; ++i)
    collectNames(*schema::operationInfo(static_cast<schema::Operation>(i)).response, names, seen);
  for (std::string_view name : names) {
    if (name.empty()) continue;
    std::cout << '"';
    for (unsigned char c : name) {  // a dictionary holds printable ASCII, the rest escaped
      if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') std::cout << c;
      else std::cout << "\\x" << "0123456789ABCDEF"[c >> 4] << "0123456789ABCDEF"[c & 15];
    }
    std::cout << "\"\n";
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "names") {
    printNames();
    return 0;
  }
  if (argc != 4) {
    std::cerr << "usage: vokr_fuzz_seeds TARGET DATA_DIR OUT_DIR\n";
    return 2;
  }
  std::string target = argv[1];
  fs::path data = argv[2];
  Writer write{argv[3]};
  fs::create_directories(write.dir);
  if (target == "reader") readerSeeds(data, write);
  else if (target == "multipart") multipartSeeds(data, write);
  else if (target == "datetime") dateTimeSeeds(data, write);
  else if (target == "fixups") fixupSeeds(data, write);
  else if (target == "codepage") codePageSeeds(data, write);
  else {
    std::cerr << "vokr_fuzz_seeds: no target " << target << "\n";
    return 2;
  }
  std::cout << target << ": " << write.count << " seeds\n";
  return 0;
}
