#include "schema/writer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/error.h"
#include "schema/namespaces.h"
#include "schema/remotable.h"

namespace vokr::schema {

namespace {

// The document is one line: no whitespace between elements; base64 text brings its own CR LF.
constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";

// Host text in content and in attribute values alike: '"' is escaped in both, so that no text
// of the host can hold '<', '>' or '"' on the wire, the characters every fix-up search text
// holds (the fix-ups change only the markup written here).
void escapeInto(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
}

std::string hexCode(unsigned char c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("U+00") + kDigits[c >> 4] + kDigits[c & 15];
}

// Bytes of a request's byte array as the rope reads them. A borrowed view: the request
// outlives the rope written from it for the whole call.
class BytesView final : public ByteSource {
public:
  explicit BytesView(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    size_t take = offset >= bytes_.size() ? 0 : std::min<size_t>(n, bytes_.size() - offset);
    std::copy_n(bytes_.data() + offset, take, static_cast<uint8_t*>(buffer));
    return take;
  }

private:
  const std::vector<uint8_t>& bytes_;
};

std::shared_ptr<const ByteSource> sourceOf(const TByteSOAPArray& array) {
  if (array.source) return array.source;
  return std::make_shared<BytesView>(array.bytes);
}

std::string_view enumText(const MemberInfo& m, uint8_t ordinal) {
  if (ordinal >= m.enumeration->texts.size())
    throw Error(ErrorKind::ConvertError, "Invalid ordinal " + std::to_string(ordinal) + " of " +
                                     std::string(m.enumeration->xmlName));
  return m.enumeration->texts[ordinal];
}

// The text form of a simple member, or nothing when the member writes no text (an empty text,
// a decimal or date-time not set).
std::optional<std::string> simpleText(const TRemotable& o, const MemberInfo& m) {
  switch (m.kind) {
    case Kind::text: {
      const auto& s = m.value<std::string>(o);
      if (s.empty()) return std::nullopt;
      return s;
    }
    case Kind::integer: return std::to_string(m.value<int32_t>(o));
    case Kind::boolean: return m.value<bool>(o) ? "true" : "false";
    case Kind::enumeration: return std::string(enumText(m, m.value<uint8_t>(o)));
    case Kind::decimal: {
      const auto& d = m.value<std::optional<TXSDecimal>>(o);
      if (!d) return std::nullopt;
      return d->text;
    }
    case Kind::dateTime: {
      const auto& d = m.value<std::optional<TXSDateTime>>(o);
      if (!d) return std::nullopt;
      return d->text;
    }
    default: return std::nullopt;
  }
}

class EnvelopeWriter {
public:
  Rope write(const TRemotable& request, const TRemotable& header) {
    Rope doc;
    doc.append(kDeclaration);
    doc.append("<SOAP-ENV:Envelope");
    for (auto [name, uri] : {std::pair{"SOAP-ENV", ns::soapEnv}, {"xsd", ns::xsd}, {"xsi", ns::xsi}}) {
      envelopeScope_.push_back({name, uri});
      appendDeclaration(doc, name, uri);
    }
    doc.append("><SOAP-ENV:Header>");

    // Header objects carry prefixes: the first one invented names the header's namespace.
    out_ = &doc;
    prefixed_ = true;
    const ClassInfo& headerClass = header.classInfo();
    writeObject(header, headerClass.xmlName, headerClass.ns, {}, headerClass);
    doc.append("</SOAP-ENV:Header>");

    // The body is written aside: the prefixes its qualified attributes need are declared on
    // SOAP-ENV:Body, whose start tag can only be written once they are known.
    Rope body;
    out_ = &body;
    prefixed_ = false;
    const ClassInfo& requestClass = request.classInfo();
    writeObject(request, requestClass.xmlName, requestClass.ns, {}, requestClass);

    doc.append("<SOAP-ENV:Body");
    for (const Binding& b : bodyScope_) appendDeclaration(doc, b.prefix, b.ns);
    doc.append(">");
    doc.append(std::move(body));
    doc.append("</SOAP-ENV:Body></SOAP-ENV:Envelope>");
    return doc;
  }

private:
  struct Binding {
    std::string prefix;
    std::string_view ns;
  };

  static void appendDeclaration(Rope& out, std::string_view prefix, std::string_view uri) {
    std::string s = " xmlns:";
    s += prefix;
    s += "=\"";
    escapeInto(s, uri);
    s += '"';
    out.append(s);
  }

  const Binding* bound(std::string_view prefix) const {
    for (const auto* scope : {&elementScope_, &bodyScope_, &envelopeScope_})
      for (auto it = scope->rbegin(); it != scope->rend(); ++it)
        if (it->prefix == prefix) return &*it;
    return nullptr;
  }

  const Binding* prefixFor(std::string_view uri) const {
    for (const auto* scope : {&elementScope_, &bodyScope_, &envelopeScope_})
      for (auto it = scope->rbegin(); it != scope->rend(); ++it)
        if (it->ns == uri && bound(it->prefix) == &*it) return &*it;
    return nullptr;
  }

  std::string freshPrefix() {
    std::string name;
    do name = "NS" + std::to_string(++counter_);
    while (bound(name));
    return name;
  }

  // A prefix for `uri`: one in scope, else a fresh one, declared on the current element in the
  // header and on SOAP-ENV:Body in the body.
  std::string prefix(std::string_view uri) {
    if (const Binding* b = prefixFor(uri)) return b->prefix;
    std::string name = freshPrefix();
    if (prefixed_) {
      appendDeclaration(*out_, name, uri);
      elementScope_.push_back({name, uri});
    } else {
      bodyScope_.push_back({name, uri});
    }
    return name;
  }

  // Opens a start tag and leaves it open for attributes; returns the qualified name.
  std::string openElement(std::string_view name, std::string_view uri, std::string_view defaultNs) {
    closeStartTag();
    std::string qname;
    if (prefixed_) {
      const Binding* b = prefixFor(uri);
      bool declare = !b;
      if (declare) {
        elementScope_.push_back({freshPrefix(), uri});
        b = &elementScope_.back();
      }
      qname = b->prefix + ":" + std::string(name);
      out_->append("<" + qname);
      if (declare) appendDeclaration(*out_, b->prefix, uri);
    } else {
      qname = name;
      out_->append("<" + qname);
      if (uri != defaultNs) {
        std::string s = " xmlns=\"";
        escapeInto(s, uri);
        s += '"';
        out_->append(s);
      }
    }
    startTagOpen_ = true;
    return qname;
  }

  void closeStartTag() {
    if (!startTagOpen_) return;
    out_->append(">");
    startTagOpen_ = false;
  }

  void closeElement(const std::string& qname) {
    if (startTagOpen_) {
      out_->append("/>");
      startTagOpen_ = false;
    } else {
      out_->append("</" + qname + ">");
    }
  }

  void attribute(std::string_view qualifier, std::string_view name, std::string_view value) {
    std::string s = " ";
    if (!qualifier.empty()) {
      s += qualifier;
      s += ':';
    }
    s += name;
    s += "=\"";
    escapeInto(s, value);
    s += '"';
    out_->append(s);
  }

  void text(std::string_view value, bool secret = false) {
    closeStartTag();
    std::string s;
    escapeInto(s, value);
    if (secret) out_->appendSecret(s);
    else out_->append(s);
  }

  void base64(const TByteSOAPArray& array) {
    closeStartTag();
    out_->appendBase64(sourceOf(array));
  }

  void simpleElement(std::string_view name, std::string_view uri, std::string_view parentNs,
                     std::string_view value, bool secret = false) {
    requireXmlText(value, name);
    size_t mark = elementScope_.size();
    std::string qname = openElement(name, uri, parentNs);
    if (!value.empty()) text(value, secret);
    closeElement(qname);
    elementScope_.resize(mark);
  }

  void nilElement(std::string_view name, std::string_view uri, std::string_view parentNs) {
    size_t mark = elementScope_.size();
    std::string qname = openElement(name, uri, parentNs);
    attribute(prefix(ns::xsi), "nil", "true");
    closeElement(qname);
    elementScope_.resize(mark);
  }

  void bytesElement(std::string_view name, std::string_view uri, std::string_view parentNs,
                    const TByteSOAPArray& array) {
    if (array.empty()) return nilElement(name, uri, parentNs);
    size_t mark = elementScope_.size();
    std::string qname = openElement(name, uri, parentNs);
    base64(array);
    closeElement(qname);
    elementScope_.resize(mark);
  }

  void writeObject(const TRemotable& o, std::string_view name, std::string_view uri,
                   std::string_view parentNs, const ClassInfo& declared) {
    size_t mark = elementScope_.size();
    std::string qname = openElement(name, uri, parentNs);
    const ClassInfo& cls = o.classInfo();
    const auto& members = cls.wireMembers();
    for (const MemberInfo* m : members) {
      if (!m->has(kAttribute) || !m->present(o)) continue;
      std::optional<std::string> value = simpleText(o, *m);
      if (!value || value->empty()) continue;
      requireXmlText(*value, m->wireName());
      attribute(m->options.ns.empty() ? std::string() : prefix(m->options.ns), m->wireName(), *value);
    }
    // Only an object of a class derived from the declared one names its type.
    if (&cls != &declared && cls.derivesFrom(declared)) {
      std::string type = prefix(cls.ns) + ":" + std::string(cls.xmlName);
      attribute(prefix(ns::xsi), "type", type);
    }
    for (const MemberInfo* m : members) {
      if (m->has(kAttribute) || !m->present(o)) continue;
      if (m->has(kTextContent)) textContent(o, *m, name);
      else writeMember(o, *m, uri);
    }
    closeElement(qname);
    elementScope_.resize(mark);
  }

  void textContent(const TRemotable& o, const MemberInfo& m, std::string_view element) {
    if (m.kind == Kind::bytes) {
      const auto& array = m.value<TByteSOAPArray>(o);
      if (!array.empty()) base64(array);
      return;
    }
    if (std::optional<std::string> value = simpleText(o, m)) {
      requireXmlText(*value, element);
      text(*value);
    }
  }

  void writeMember(const TRemotable& o, const MemberInfo& m, std::string_view enclosingNs) {
    std::string_view uri = !m.options.ns.empty()                   ? m.options.ns
                           : m.has(kReference) && m.objectClass ? m.objectClass->ns
                                                                   : enclosingNs;
    if (m.list) return list(o, m, uri, enclosingNs);
    switch (m.kind) {
      case Kind::object: {
        void* slot = m.slot(const_cast<TRemotable&>(o));
        if (const TRemotable* child = m.objects->get(slot))
          writeObject(*child, m.wireName(), uri, enclosingNs, *m.objectClass);
        return;
      }
      case Kind::bytes: return bytesElement(m.wireName(), uri, enclosingNs, m.value<TByteSOAPArray>(o));
      default:
        if (std::optional<std::string> value = simpleText(o, m))
          simpleElement(m.wireName(), uri, enclosingNs, *value, m.has(kSecret));
    }
  }

  // Items of a list, each as one element `itemName` in `itemNs`, inside an element in `parentNs`.
  void items(const TRemotable& o, const MemberInfo& m, std::string_view itemName,
             std::string_view itemNs, std::string_view parentNs) {
    switch (m.kind) {
      case Kind::object: {
        void* slot = m.slot(const_cast<TRemotable&>(o));
        for (size_t i = 0, n = m.objects->size(slot); i < n; ++i) {
          const TRemotable* item = m.objects->item(slot, i);
          std::string_view name = itemName.empty() ? m.objectClass->xmlName : itemName;
          if (item) writeObject(*item, name, itemNs, parentNs, *m.objectClass);
          else nilElement(name, itemNs, parentNs);
        }
        return;
      }
      case Kind::decimal:
        if (m.nullableItems) {
          for (const auto& d : m.value<std::vector<std::optional<TXSDecimal>>>(o)) {
            if (d) simpleElement(itemName, itemNs, parentNs, d->text);
            else nilElement(itemName, itemNs, parentNs);
          }
        } else {
          for (const TXSDecimal& d : m.value<std::vector<TXSDecimal>>(o))
            simpleElement(itemName, itemNs, parentNs, d.text);
        }
        return;
      case Kind::dateTime:
        for (const TXSDateTime& d : m.value<std::vector<TXSDateTime>>(o))
          simpleElement(itemName, itemNs, parentNs, d.text);
        return;
      case Kind::text:
        for (const std::string& s : m.value<std::vector<std::string>>(o))
          simpleElement(itemName, itemNs, parentNs, s);
        return;
      default: return;
    }
  }

  static size_t itemCount(const TRemotable& o, const MemberInfo& m) {
    switch (m.kind) {
      case Kind::object: return m.objects->size(m.slot(const_cast<TRemotable&>(o)));
      case Kind::decimal:
        return m.nullableItems ? m.value<std::vector<std::optional<TXSDecimal>>>(o).size()
                               : m.value<std::vector<TXSDecimal>>(o).size();
      case Kind::dateTime: return m.value<std::vector<TXSDateTime>>(o).size();
      case Kind::text: return m.value<std::vector<std::string>>(o).size();
      default: return 0;
    }
  }

  void list(const TRemotable& o, const MemberInfo& m, std::string_view uri,
            std::string_view enclosingNs) {
    if (m.has(kUnbounded)) return items(o, m, m.wireName(), uri, enclosingNs);
    if (itemCount(o, m) == 0) return;  // an empty wrapped list leaves out its wrapper too
    size_t mark = elementScope_.size();
    std::string qname = openElement(m.wireName(), uri, enclosingNs);
    items(o, m, m.options.itemName, uri, uri);
    closeElement(qname);
    elementScope_.resize(mark);
  }

  Rope* out_ = nullptr;
  bool prefixed_ = false;
  bool startTagOpen_ = false;
  int counter_ = 0;  // of invented prefixes, for the whole document
  std::vector<Binding> envelopeScope_;
  std::vector<Binding> bodyScope_;     // declared on SOAP-ENV:Body
  std::vector<Binding> elementScope_;  // declared on open header elements
};

} // namespace

void requireXmlText(std::string_view text, std::string_view field) {
  for (unsigned char c : text)
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
      throw Error(ErrorKind::ConvertError, std::string(field) + ": the text holds the control character " +
                                               hexCode(c) + ", which XML cannot carry");
}

Rope writeRequest(Operation op, const TRemotable& request, const TRemotable& header) {
  const OperationInfo& info = operationInfo(op);
  // Every family pairs its operation with that operation's request class, so this is a fault of
  // the library itself, never of the host's data.
  if (&request.classInfo() != info.request)
    throw Error(ErrorKind::OutOfResources, std::string(request.classInfo().xmlName) +
                                               " is not the request of " + info.name);
  return writeEnvelope(request, header);
}

Rope writeEnvelope(const TRemotable& body, const TRemotable& header) {
  return EnvelopeWriter().write(body, header);
}

} // namespace vokr::schema
