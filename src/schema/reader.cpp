#include "schema/reader.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "schema/base64.h"
#include "schema/datetime.h"
#include "schema/mtom.h"
#include "schema/spill.h"
#include "schema/multipart.h"
#include "schema/namespaces.h"
#include "schema/remotable.h"

namespace vokr::schema {

namespace {

Error readError(const std::string& message) { return Error(ErrorKind::XmlReadError, message); }
[[noreturn]] void fail(const std::string& message) { throw readError(message); }

std::string_view view(const xmlChar* s) {
  return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view{};
}

// The value of attribute i in libxml2's array of five pointers per attribute.
std::string_view attributeValue(const xmlChar** attributes, int i) {
  const xmlChar** a = attributes + 5 * i;
  return {reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3])};
}

std::string_view trimmed(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// ---- value conversions ----

int32_t toInteger(std::string_view text) {
  std::string_view s = trimmed(text);
  bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  int64_t v = 0;
  bool ok = !s.empty();
  for (char c : s) {
    if (c < '0' || c > '9' || v > (int64_t{1} << 32)) {
      ok = false;
      break;
    }
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (!ok || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    fail("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int32_t>(v);
}

bool toBoolean(std::string_view text) {
  std::string s(trimmed(text));
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (s == "true" || s == "1") return true;
  if (s == "false" || s == "0") return false;
  fail("'" + std::string(text) + "' is not a valid Boolean value");
}

uint8_t toOrdinal(const EnumInfo& e, std::string_view text) {
  if (text.empty()) return 0;
  int ordinal = e.ordinal(text);
  if (ordinal < 0) fail("Invalid property element: " + std::string(text));
  return static_cast<uint8_t>(ordinal);
}

// Held trimmed: the host conversions read the value as held.
TXSDateTime toDateTime(std::string_view text) {
  std::string_view value = trimmed(text);
  if (!parseDateTime(value)) fail("'" + std::string(text) + "' is not a valid date and time");
  return {std::string(value)};
}

// Stores the text of a simple member into the object.
void assign(TRemotable& o, const MemberInfo& m, std::string&& text) {
  switch (m.kind) {
    case Kind::text: m.value<std::string>(o) = std::move(text); break;
    case Kind::integer: m.value<int32_t>(o) = toInteger(text); break;
    case Kind::boolean: m.value<bool>(o) = toBoolean(text); break;
    case Kind::enumeration: m.value<uint8_t>(o) = toOrdinal(*m.enumeration, text); break;
    case Kind::decimal: m.value<std::optional<TXSDecimal>>(o) = TXSDecimal{std::move(text)}; break;
    case Kind::dateTime: m.value<std::optional<TXSDateTime>>(o) = toDateTime(text); break;
    default: break;
  }
  m.markPresent(o);
}

// Appends one simple item to a list member.
void appendItem(TRemotable& o, const MemberInfo& m, std::string&& text, bool nil) {
  switch (m.kind) {
    case Kind::text: m.value<std::vector<std::string>>(o).push_back(std::move(text)); break;
    case Kind::decimal:
      if (m.nullableItems) {
        auto& items = m.value<std::vector<std::optional<TXSDecimal>>>(o);
        if (nil) items.emplace_back();
        else items.push_back(TXSDecimal{std::move(text)});
      } else {
        m.value<std::vector<TXSDecimal>>(o).push_back({std::move(text)});
      }
      break;
    case Kind::dateTime: m.value<std::vector<TXSDateTime>>(o).push_back(toDateTime(text)); break;
    default: break;
  }
}

// ---- the event reader ----

// Far beyond any real answer (a dozen levels), near enough to keep a hostile one small.
constexpr size_t kMaxDepth = 256;

enum class FrameKind { skip, envelope, body, fault, faultString, object, wrapper, value, item, bytes };

struct Frame {
  FrameKind kind;
  TRemotable* object = nullptr;        // the object being read, or the owner of the member
  const MemberInfo* member = nullptr;  // wrapper, value, item: the member read into
  std::vector<bool> filled;            // object: members already matched
  const MemberInfo* textMember = nullptr;
  std::string text;
  bool nil = false;
  TByteSOAPArray* bytes = nullptr;  // bytes frames, and objects whose content is a byte array
  std::optional<ByteArrayFiller> filler;  // fills `bytes` as its text is decoded
  Base64Decoder decoder;

  void decode(const char* text, size_t n) {
    const size_t written = decoder.feed(text, n, filler->room(Base64Decoder::maxDecodedSize(n)));
    if (written == Base64Decoder::kInvalid) fail("Invalid base64 text");
    filler->grow(written);
  }
  // The longest start of a text run that is base64; returns the characters taken.
  size_t decodeRun(const char* text, size_t n) {
    size_t written = 0;
    const size_t taken = decoder.feedRun(text, n, filler->room(Base64Decoder::maxDecodedSize(n)), written);
    filler->grow(written);
    return taken;
  }
  void finishBytes() {
    uint8_t last[2];
    const size_t written = decoder.finish(last);
    if (written == Base64Decoder::kInvalid) fail("Invalid base64 text");
    filler->append(last, written);
    filler->finish();
  }
};

bool nilAttribute(int count, const xmlChar** attributes) {
  for (int i = 0; i < count; ++i) {
    const xmlChar** a = attributes + 5 * i;
    if (view(a[0]) == "nil" && view(a[2]) == ns::xsi)
      return trimmed(attributeValue(attributes, i)) == "true";
  }
  return false;
}

} // namespace

struct ResponseReader::Impl {
  Impl(const ClassInfo& responseClass, std::string_view contentType, uint64_t contentLength, SpillSettings spill)
      : responseClass(responseClass), contentLength(contentLength), spill(std::move(spill)) {
    MediaType media = parseMediaType(contentType);
    // Failures found here are reported by the first feed or finish.
    if (media.type == "multipart/related") {
      if (media.boundary.empty()) record(readError("multipart answer without a boundary"));
      else mtom.emplace(media.boundary, media.start, contentLength, this->spill, [this](const char* data, size_t n) {
        parse(data, n);
        rethrow();  // ends the splitting at once
      });
    }
    xmlInitParser();
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Impl::onStart;
    sax.endElementNs = &Impl::onEnd;
    sax.characters = &Impl::onCharacters;
    sax.cdataBlock = &Impl::onCharacters;
    sax.internalSubset = &Impl::onDoctype;
    sax.externalSubset = &Impl::onDoctype;
    sax.getEntity = &Impl::onEntity;
    sax.serror = &Impl::onError;
    parser = xmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr);
    if (!parser) {
      record(readError("cannot create the XML parser"));
      return;
    }
    // No network, no DTD loading, no entity substitution; big text nodes allowed.
    xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_HUGE);
  }

  ~Impl() {
    if (parser) xmlFreeParserCtxt(parser);
  }

  // ---- feeding ----

  void feed(const char* data, size_t n) {
    rethrow();
    consumed += n;
    guarded([&] {
      if (mtom) mtom->feed(data, n);
      else parse(data, n);
    });
    rethrow();
  }

  std::unique_ptr<TRemotable> finish() {
    guarded([&] { complete(); });
    rethrow();
    return std::move(response);
  }

  void complete() {
    if (mtom) mtom->finish();
    if (consumed == 0) fail("the answer is empty");
    // The last push reports what only the end shows: an unclosed element, a stopped conversion.
    if (xmlParseChunk(parser, nullptr, 0, 1) != 0 && !error) recordParserError();
    rethrow();
    if (!envelope) fail("the answer is not a SOAP envelope");
    if (!stack.empty()) fail("the answer ends inside its envelope");
    if (fault) throw Error(ErrorKind::RemotableException, faultString);
    if (!response) fail("the SOAP body holds no response");
    if (mtom) mtom->resolveIncludes();
    else if (strayInclude) fail("no part of the answer is named cid:" + *strayInclude);
  }

  void parse(const char* data, size_t n) {
    while (n > 0 && !error) {
      if (textRunGoesOn()) {
        size_t taken = 0;
        guarded([&] { taken = stack.back().decodeRun(data, n); });
        bypassed += taken;
        data += taken;
        n -= taken;
        if (n == 0 || error) return;
      }
      int slice = static_cast<int>(std::min<size_t>(n, 1 << 20));
      if (xmlParseChunk(parser, data, slice, 0) != 0 && !error) recordParserError();
      data += slice;
      n -= static_cast<size_t>(slice);
    }
  }

  // The byte array whose text the answer goes on with, when the parser holds nothing of the
  // answer back. Its text then goes to the decoder straight from the answer: the parser would
  // copy and scan it twice before handing it on in small pieces. Where the run ends ('<', a
  // reference, anything that is no base64) the parser takes over again; it sees a shorter text,
  // and nothing else changes. Not for answers the parser converts from another encoding.
  bool textRunGoesOn() const {
    if (stack.empty() || !stack.back().filler || parser->instate != XML_PARSER_CONTENT) return false;
    const xmlParserInputPtr input = parser->input;
    return input && input->buf && !input->buf->encoder && input->cur == input->end;
  }

  // A byte array about to be decoded from the answer's text.
  void startFilling(Frame& f, TByteSOAPArray& target) {
    f.bytes = &target;
    f.filler.emplace(target, spill, arrayRoom(contentLength, mtom ? mtom->chunkStart() : parsedSoFar(), true));
  }

  uint64_t parsedSoFar() const {
    long parsed = xmlByteConsumed(parser);
    return (parsed > 0 ? static_cast<uint64_t>(parsed) : 0) + bypassed;
  }

  // ---- errors ----

  void record(const Error& e) {
    if (!error) error = e;
    if (parser) xmlStopParser(parser);
  }
  void rethrow() {
    if (error) throw *error;
  }
  void recordParserError() {
    const xmlError* e = xmlCtxtGetLastError(parser);
    record(readError(e ? describe(*e) : "the answer is not well-formed XML"));
  }
  static std::string describe(const xmlError& e) {
    std::string message = e.message ? e.message : "XML error";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    return "XML error at line " + std::to_string(e.line) + ": " + message;
  }

  // Runs a handler step. Nothing may unwind through the parser's C frames: every failure
  // becomes the reader's error and stops the parser.
  template <class F> void guarded(F&& step) {
    if (error) return;
    try {
      step();
    } catch (const Error& e) {
      record(e);
    } catch (const std::bad_alloc&) {
      record(readError("not enough memory for the answer"));
    } catch (const std::exception& e) {
      record(readError(e.what()));
    }
  }

  // ---- SAX events ----

  static Impl& self(void* ctx) { return *static_cast<Impl*>(ctx); }

  static void onStart(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int,
                      const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    Impl& r = self(ctx);
    r.guarded([&] { r.start(view(localname), view(uri), attributeCount, attributes); });
  }
  static void onEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    Impl& r = self(ctx);
    r.guarded([&] { r.end(); });
  }
  static void onCharacters(void* ctx, const xmlChar* ch, int len) {
    Impl& r = self(ctx);
    r.guarded([&] { r.characters(reinterpret_cast<const char*>(ch), static_cast<size_t>(len)); });
  }
  static void onDoctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    self(ctx).record(readError("a DTD is not allowed in an answer"));
  }
  static xmlEntityPtr onEntity(void*, const xmlChar*) { return nullptr; }
  static void onError(void* ctx, xmlErrorPtr e) {
    if (e->level == XML_ERR_WARNING) return;
    Impl& r = self(ctx);
    if (!r.error) r.record(readError(describe(*e)));
  }

  void start(std::string_view name, std::string_view uri, int attributeCount,
             const xmlChar** attributes) {
    if (stack.size() >= kMaxDepth)
      fail("the answer nests elements deeper than " + std::to_string(kMaxDepth) + " levels");
    if (stack.empty()) {
      if (name != "Envelope" || uri != ns::soapEnv)
        fail("the answer is not a SOAP envelope: its document element is " + std::string(name));
      envelope = true;
      return push(FrameKind::envelope);
    }
    Frame& top = stack.back();
    switch (top.kind) {
      case FrameKind::envelope: return push(name == "Body" ? FrameKind::body : FrameKind::skip);
      case FrameKind::body:
        if (bodySeen) return push(FrameKind::skip);
        bodySeen = true;
        if (name == "Fault") {
          fault = true;
          return push(FrameKind::fault);
        }
        response = responseClass.create();
        return pushObject(*response, attributeCount, attributes);
      case FrameKind::fault:
        return push(name == "faultstring" ? FrameKind::faultString : FrameKind::skip);
      case FrameKind::object:
        if (top.bytes && name == "Include" && uri == ns::xop) {
          include(*top.bytes, attributeCount, attributes);
          return push(FrameKind::skip);
        }
        return child(top, name, attributeCount, attributes);
      case FrameKind::wrapper: return item(*top.object, *top.member, attributeCount, attributes);
      case FrameKind::bytes:
        if (name == "Include" && uri == ns::xop) include(*top.bytes, attributeCount, attributes);
        return push(FrameKind::skip);
      default: return push(FrameKind::skip);
    }
  }

  void push(FrameKind kind) {
    stack.emplace_back();
    stack.back().kind = kind;
  }

  void pushObject(TRemotable& o, int attributeCount, const xmlChar** attributes) {
    const ClassInfo& cls = o.classInfo();
    const auto& members = cls.wireMembers();
    for (const MemberInfo* m : members)
      if (m->has(kAttribute)) attribute(o, *m, attributeCount, attributes);
    push(FrameKind::object);
    Frame& f = stack.back();
    f.object = &o;
    f.filled.assign(members.size(), false);
    for (const MemberInfo* m : members) {
      if (!m->has(kTextContent)) continue;
      f.textMember = m;
      m->markPresent(o);
      if (m->kind == Kind::bytes) startFilling(f, m->value<TByteSOAPArray>(o));
    }
  }

  // Attribute members: unqualified first, then in the member's namespace.
  void attribute(TRemotable& o, const MemberInfo& m, int count, const xmlChar** attributes) {
    for (bool qualified : {false, true}) {
      if (qualified && m.options.ns.empty()) return;
      for (int i = 0; i < count; ++i) {
        const xmlChar** a = attributes + 5 * i;
        bool match = view(a[0]) == m.wireName() &&
                     (qualified ? view(a[2]) == m.options.ns : a[2] == nullptr);
        if (!match) continue;
        assign(o, m, std::string(attributeValue(attributes, i)));
        return;
      }
    }
  }

  // An element child of an object: the first member of that name not yet used.
  void child(Frame& parent, std::string_view name, int attributeCount, const xmlChar** attributes) {
    TRemotable& o = *parent.object;
    const auto& members = o.classInfo().wireMembers();
    for (size_t i = 0; i < members.size(); ++i) {
      const MemberInfo& m = *members[i];
      if (m.has(kAttribute) || m.has(kTextContent) || m.wireName() != name) continue;
      bool repeated = m.list && m.has(kUnbounded);
      if (!repeated && parent.filled[i]) continue;
      parent.filled[i] = !repeated;
      m.markPresent(o);
      if (repeated) return item(o, m, attributeCount, attributes);
      if (m.list) {
        push(FrameKind::wrapper);
        stack.back().object = &o;
        stack.back().member = &m;
        return;
      }
      switch (m.kind) {
        case Kind::object: {
          void* slot = m.slot(o);
          m.objects->set(slot, m.objectClass->create());
          return pushObject(*m.objects->get(slot), attributeCount, attributes);
        }
        case Kind::bytes: {
          push(FrameKind::bytes);
          startFilling(stack.back(), m.value<TByteSOAPArray>(o));
          return;
        }
        default:
          push(FrameKind::value);
          stack.back().object = &o;
          stack.back().member = &m;
          return;
      }
    }
    push(FrameKind::skip);  // an element no member asks for
  }

  // One item of a list member.
  void item(TRemotable& o, const MemberInfo& m, int attributeCount, const xmlChar** attributes) {
    if (m.kind == Kind::object) {
      void* slot = m.slot(o);
      m.objects->append(slot, m.objectClass->create());
      return pushObject(*m.objects->item(slot, m.objects->size(slot) - 1), attributeCount, attributes);
    }
    push(FrameKind::item);
    Frame& f = stack.back();
    f.object = &o;
    f.member = &m;
    f.nil = nilAttribute(attributeCount, attributes);
  }

  void include(TByteSOAPArray& target, int count, const xmlChar** attributes) {
    for (int i = 0; i < count; ++i) {
      const xmlChar** a = attributes + 5 * i;
      if (view(a[0]) != "href") continue;
      // A part can only be found in a multipart answer.
      if (mtom) mtom->include(target, attributeValue(attributes, i));
      else if (!strayInclude) strayInclude = contentIdOf(attributeValue(attributes, i));
      return;
    }
    fail("xop:Include without href");
  }

  void characters(const char* ch, size_t len) {
    if (stack.empty()) return;
    Frame& f = stack.back();
    switch (f.kind) {
      case FrameKind::value:
      case FrameKind::item:
      case FrameKind::faultString: f.text.append(ch, len); return;
      case FrameKind::bytes: f.decode(ch, len); return;
      case FrameKind::object:
        if (!f.textMember) return;
        if (f.filler) f.decode(ch, len);
        else if (f.textMember->kind == Kind::text)
          f.textMember->value<std::string>(*f.object).append(ch, len);
        else f.text.append(ch, len);
        return;
      default: return;
    }
  }

  void end() {
    Frame f = std::move(stack.back());
    stack.pop_back();
    switch (f.kind) {
      case FrameKind::value: assign(*f.object, *f.member, std::move(f.text)); return;
      case FrameKind::item: appendItem(*f.object, *f.member, std::move(f.text), f.nil); return;
      case FrameKind::faultString: faultString = std::move(f.text); return;
      case FrameKind::bytes: f.finishBytes(); return;
      case FrameKind::object:
        if (f.filler) f.finishBytes();
        else if (f.textMember && f.textMember->kind != Kind::text)
          assign(*f.object, *f.textMember, std::move(f.text));
        return;
      default: return;
    }
  }

  const ClassInfo& responseClass;
  uint64_t contentLength;
  SpillSettings spill;
  uint64_t consumed = 0;  // bytes fed so far
  uint64_t bypassed = 0;  // answer bytes decoded past the parser (text runs of byte arrays)
  xmlParserCtxtPtr parser = nullptr;
  std::optional<Error> error;

  std::optional<MtomParts> mtom;             // for an answer in MTOM form
  std::optional<std::string> strayInclude;   // an xop:Include in an answer that has no parts

  std::vector<Frame> stack;
  bool envelope = false;
  bool bodySeen = false;
  bool fault = false;
  std::string faultString;
  std::unique_ptr<TRemotable> response;
};

ResponseReader::ResponseReader(Operation op, std::string_view contentType, uint64_t contentLength,
                               SpillSettings spill)
    : ResponseReader(*operationInfo(op).response, contentType, contentLength, std::move(spill)) {}

ResponseReader::ResponseReader(const ClassInfo& responseClass, std::string_view contentType,
                               uint64_t contentLength, SpillSettings spill)
    : impl_(std::make_unique<Impl>(responseClass, contentType, contentLength, std::move(spill))) {}

ResponseReader::~ResponseReader() = default;

void ResponseReader::feed(const char* data, size_t n) { impl_->feed(data, n); }

std::unique_ptr<TRemotable> ResponseReader::finish() { return impl_->finish(); }

bool ResponseReader::notEnvelope() const { return !impl_->envelope; }

} // namespace vokr::schema
