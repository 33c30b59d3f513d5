"""A namespace-aware reader for requests and a writer for answers in the service's shape.

The reader refuses document type declarations (so no entity is ever expanded) and keeps
every element with its namespace, attributes, direct text and line number, which is what the
strictness checks need. The writer produces prefixed, indented answers; large base64 contents
stay out of memory until they are sent.
"""

import base64
import os
import xml.parsers.expat

from . import ns


class XmlError(Exception):
    pass


class Node:
    __slots__ = ("ns", "name", "attrs", "children", "_text", "line", "parsed")

    def __init__(self, namespace, name, attrs, line):
        self.ns = namespace
        self.name = name
        self.attrs = attrs          # {(namespace or "", local name): value}
        self.children = []
        self._text = []
        self.line = line
        self.parsed = None          # the checked value of a simple-typed element

    @property
    def text(self):
        if len(self._text) != 1:
            self._text[:] = ["".join(self._text)]
        return self._text[0]

    @property
    def qname(self):
        return '{"%s":%s}' % (self.ns, self.name) if self.ns else self.name

    def child(self, name):
        for c in self.children:
            if c.name == name:
                return c
        return None

    def all(self, name):
        return [c for c in self.children if c.name == name]

    def value(self, name, default=None):
        """The checked value of a simple-typed child, or default when it is absent."""
        c = self.child(name)
        return default if c is None else c.parsed


def _split(expat_name):
    namespace, _, local = expat_name.rpartition(" ")
    return namespace, local


def parse(data):
    """Parses bytes into a Node tree; raises XmlError for anything that is not plain XML."""
    parser = xml.parsers.expat.ParserCreate(namespace_separator=" ")
    parser.buffer_text = True
    parser.buffer_size = 1 << 20
    stack = []
    root = []

    def start(name, attributes):
        namespace, local = _split(name)
        attrs = {}
        for key, value in attributes.items():
            attrs[_split(key)] = value
        node = Node(namespace, local, attrs, parser.CurrentLineNumber)
        if stack:
            stack[-1].children.append(node)
        else:
            root.append(node)
        stack.append(node)

    def end(_name):
        stack.pop()

    def chars(text):
        if stack:
            stack[-1]._text.append(text)

    def doctype(*_args):
        raise XmlError("DOCTYPE is not allowed")

    def entity(*_args):
        raise XmlError("entity declarations are not allowed")

    parser.StartElementHandler = start
    parser.EndElementHandler = end
    parser.CharacterDataHandler = chars
    parser.StartDoctypeDeclHandler = doctype
    parser.EntityDeclHandler = entity
    try:
        parser.Parse(data, True)
    except xml.parsers.expat.ExpatError as e:
        raise XmlError(str(e)) from None
    if not root:
        raise XmlError("no document element")
    return root[0]


# ---------------------------------------------------------------- writing answers

class Base64Content:
    """File content sent as base64 on one line, from memory or streamed from a file."""

    CHUNK = 3 * 65536

    def __init__(self, data=None, path=None):
        self.data = data
        self.path = path
        self.size = len(data) if data is not None else os.path.getsize(path)

    @property
    def length(self):
        return 4 * ((self.size + 2) // 3)

    def chunks(self):
        if self.data is not None:
            for i in range(0, self.size, self.CHUNK):
                yield base64.b64encode(self.data[i:i + self.CHUNK])
            return
        with open(self.path, "rb") as f:
            while True:
                block = f.read(self.CHUNK)
                if not block:
                    break
                yield base64.b64encode(block)


class RawContent:
    """The bytes of a Base64Content sent as they are, as an MTOM attachment part."""

    def __init__(self, content):
        self.content = content
        self.size = self.length = content.size

    def chunks(self):
        if self.content.data is not None:
            yield self.content.data
            return
        with open(self.content.path, "rb") as f:
            while True:
                block = f.read(1 << 20)
                if not block:
                    break
                yield block


def mtom(pieces):
    """The same answer as an MTOM/XOP package: (content type, pieces).

    Every base64 content becomes an xop:Include of a binary part of its own."""
    boundary = b"uuid:0b0e7f2c-cadastre-sim"
    root, parts = [], []
    for piece in pieces:
        if isinstance(piece, bytes):
            root.append(piece)
            continue
        cid = b"%d@cadastre-sim" % (len(parts) + 1)
        root.append(b'<xop:Include xmlns:xop="http://www.w3.org/2004/08/xop/include" '
                    b'href="cid:%s"/>' % cid)
        parts += [b"\r\n--%s\r\nContent-Id: <%s>\r\nContent-Type: application/octet-stream\r\n"
                  b"Content-Transfer-Encoding: binary\r\n\r\n" % (boundary, cid),
                  RawContent(piece)]
    head = (b"--%s\r\nContent-Id: <rootpart@cadastre-sim>\r\nContent-Type: application/xop+xml;"
            b'charset=utf-8;type="text/xml"\r\nContent-Transfer-Encoding: binary\r\n\r\n'
            % boundary)
    content_type = ('multipart/related; start="<rootpart@cadastre-sim>"; '
                    'type="application/xop+xml"; boundary="%s"; start-info="text/xml"'
                    % boundary.decode("ascii"))
    return content_type, [head, b"".join(root)] + parts + [b"\r\n--%s--\r\n" % boundary]


class E:
    """An element of an answer: a prefixed name, attributes, and either text or children."""

    __slots__ = ("name", "attrs", "children", "text")

    def __init__(self, name, *children, text=None, attrs=()):
        self.name = name
        self.attrs = list(attrs)
        self.children = [c for c in children if c is not None]
        self.text = text


def _escape_text(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def _escape_attr(s):
    return (_escape_text(s).replace('"', "&quot;").replace("\n", "&#10;")
            .replace("\r", "&#13;").replace("\t", "&#9;"))


def _render(element, depth, out):
    pad = "  " * depth
    attrs = "".join(' %s="%s"' % (k, _escape_attr(v)) for k, v in element.attrs)
    if element.children:
        out.append("%s<%s%s>\n" % (pad, element.name, attrs))
        for c in element.children:
            _render(c, depth + 1, out)
        out.append("%s</%s>\n" % (pad, element.name))
    elif isinstance(element.text, Base64Content):
        out.append("%s<%s%s>" % (pad, element.name, attrs))
        out.append(element.text)
        out.append("</%s>\n" % element.name)
    elif element.text:
        out.append("%s<%s%s>%s</%s>\n" % (pad, element.name, attrs, _escape_text(element.text),
                                          element.name))
    else:
        out.append("%s<%s%s/>\n" % (pad, element.name, attrs))


def envelope(body_child):
    """The answer as a list of pieces: UTF-8 bytes and Base64Content objects."""
    out = ["<?xml version='1.0' encoding='UTF-8'?>\n",
           '<S:Envelope xmlns:S="%s">\n' % ns.SOAP_ENV, "  <S:Header/>\n", "  <S:Body>\n"]
    _render(body_child, 2, out)
    out += ["  </S:Body>\n", "</S:Envelope>\n"]
    pieces, text = [], []
    for piece in out:
        if isinstance(piece, str):
            text.append(piece)
        else:
            pieces.append("".join(text).encode("utf-8"))
            pieces.append(piece)
            text = []
    pieces.append("".join(text).encode("utf-8"))
    return pieces


def document(root):
    """A whole document of plain elements (no file content) as UTF-8 bytes."""
    out = ["<?xml version='1.0' encoding='UTF-8'?>\n"]
    _render(root, 0, out)
    return "".join(out).encode("utf-8")
