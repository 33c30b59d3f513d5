"""The service description a generic SOAP client reads: a WSDL and the XML schemas it imports.

Both are made from the content models the simulator checks requests against (and that its
answers are held to), so the description cannot drift from what the simulator accepts. Each
namespace gets a schema of its own, served at `<endpoint>?xsd=<name>`; the WSDL refers to
them relatively, so a client reaching the simulator under another host name still finds them.
"""

from . import ns, schema
from .schema import Attr, Choice, El, Seq
from .xmltree import E, document

# schema name in the URL -> (namespace, prefix)
SCHEMAS = {
    "types": (ns.TYPES, "t"),
    "common": (ns.COMMON, "c"),
    "base": (ns.BASE, "b"),
    "gml": (ns.GML, "gml"),
    "secext": (ns.SECEXT, "wsse"),
}
_PREFIX = {namespace: prefix for namespace, prefix in SCHEMAS.values()}
_LOCATION = {namespace: "geo?xsd=" + name for name, (namespace, _) in SCHEMAS.items()}

# Simple types that are XML Schema's own; every other one is declared in the base types.
_BUILT_IN = {"string", "boolean", "decimal", "base64Binary", "dateTime", "positiveInteger", "ID"}

# The WS-Security header as the simulator reads it: a user name token with a plain password.
SECURITY = El("Security", Seq(El("UsernameToken", Seq(
    El("Username", schema.STRING, namespace=ns.SECEXT),
    El("Password", schema.STRING, namespace=ns.SECEXT, attrs=[Attr("Type", schema.STRING)])),
    namespace=ns.SECEXT)), namespace=ns.SECEXT)


def _occurs(el):
    attrs = [("minOccurs", "0")] if el.min == 0 else []
    if el.max > 1:
        attrs.append(("maxOccurs", "unbounded" if el.max == schema.UNBOUNDED else str(el.max)))
    return attrs


class _Builder:
    """Collects the global declarations of every namespace while walking the content models."""

    def __init__(self):
        self.globals = {namespace: {} for namespace in _PREFIX}   # (kind, name) -> E
        self.imports = {namespace: set() for namespace in _PREFIX}

    def declare(self, namespace, kind, name, declaration):
        known = self.globals[namespace].setdefault((kind, name), declaration)
        if document(known) != document(declaration):
            raise ValueError("two declarations of %s %s in %s" % (kind, name, namespace))

    def qname(self, home, namespace, name):
        if namespace != home:
            self.imports[home].add(namespace)
        return "%s:%s" % (_PREFIX[namespace], name)

    def global_element(self, el):
        self.declare(el.ns, "element", el.name, self.element(el, el.ns, []))

    def particle(self, el, home):
        """An element inside a content model of the `home` namespace."""
        if el.ns == home:
            return self.element(el, home, _occurs(el))
        self.global_element(el)
        return E("xs:element", attrs=[("ref", self.qname(home, el.ns, el.name))] + _occurs(el))

    def element(self, el, home, occurs):
        attrs = [("name", el.name)] + occurs + ([("nillable", "true")] if el.nillable else [])
        attributes = [self.attribute(a, home) for a in el.attrs]
        if isinstance(el.type, Seq):
            return E("xs:element", E("xs:complexType", self.sequence(el.type, home), *attributes),
                     attrs=attrs)
        simple = self.simple(el.type, home)
        if attributes:
            return E("xs:element", E("xs:complexType", E("xs:simpleContent", E(
                "xs:extension", *attributes, attrs=[("base", simple)]))), attrs=attrs)
        return E("xs:element", attrs=attrs + [("type", simple)])

    def sequence(self, seq, home):
        items = []
        for item in seq.items:
            if isinstance(item, Choice):
                # An abstract element is refused wherever it stands: it is not offered.
                items.append(E("xs:choice", *[self.particle(a, home) for a in item.alternatives
                                              if not a.abstract],
                               attrs=[("minOccurs", "0")] if item.min == 0 else []))
            else:
                items.append(self.particle(item, home))
        return E("xs:sequence", *items)

    def attribute(self, attr, home):
        attrs = [("name", attr.name), ("type", self.simple(attr.type, attr.ns or home))]
        if not attr.ns:
            return E("xs:attribute", attrs=attrs + ([("use", "required")] if attr.required else []))
        self.declare(attr.ns, "attribute", attr.name, E("xs:attribute", attrs=attrs))
        return E("xs:attribute", attrs=[("ref", self.qname(home, attr.ns, attr.name))] +
                 ([("use", "required")] if attr.required else []))

    def simple(self, simple, home):
        if simple.name in _BUILT_IN:
            return "xs:" + simple.name
        facets = [E("xs:enumeration", attrs=[("value", v)]) for v in simple.enum or ()]
        if simple.pattern:
            facets.append(E("xs:pattern", attrs=[("value", simple.pattern)]))
        if simple.max_length is not None:
            facets.append(E("xs:maxLength", attrs=[("value", str(simple.max_length))]))
        if simple.collapse:
            facets.append(E("xs:whiteSpace", attrs=[("value", "collapse")]))
        self.declare(ns.BASE, "simpleType", simple.name, E(
            "xs:simpleType", E("xs:restriction", *facets, attrs=[("base", "xs:string")]),
            attrs=[("name", simple.name)]))
        return self.qname(home, ns.BASE, simple.name)

    def schema(self, namespace):
        imports = [E("xs:import", attrs=[("namespace", other), ("schemaLocation",
                                                                 _LOCATION[other])])
                   for other in sorted(self.imports[namespace])]
        return E("xs:schema", *imports, *self.globals[namespace].values(), attrs=[
            ("xmlns:xs", ns.XSD), *[("xmlns:" + p, n) for n, p in SCHEMAS.values()],
            ("targetNamespace", namespace), ("elementFormDefault", "qualified")])


def _schemas():
    builder = _Builder()
    for name, seq in list(schema.REQUESTS.items()) + list(schema.RESPONSES.items()):
        builder.global_element(El(name, seq))
    builder.global_element(SECURITY)
    return {name: document(builder.schema(namespace))
            for name, (namespace, _) in SCHEMAS.items()}


SCHEMA_DOCUMENTS = _schemas()


def service_description(address):
    """The WSDL of the port type `geo` with its SOAP 1.1 binding at the given endpoint URL."""
    header = E("soap:header", attrs=[("message", "tns:security"), ("part", "Security"),
                                     ("use", "literal")])
    messages, operations, bindings = [], [], []
    for op in ns.OPERATIONS:
        for role, element in (("Request", ns.request_element(op)),
                              ("Response", ns.response_element(op))):
            messages.append(E("wsdl:message", E("wsdl:part", attrs=[
                ("name", "parameters"), ("element", "t:" + element)]),
                attrs=[("name", op + role)]))
        operations.append(E("wsdl:operation",
                            E("wsdl:input", attrs=[("message", "tns:%sRequest" % op)]),
                            E("wsdl:output", attrs=[("message", "tns:%sResponse" % op)]),
                            attrs=[("name", op)]))
        bindings.append(E("wsdl:operation",
                          E("soap:operation", attrs=[("soapAction", ns.action_uri(op)),
                                                     ("style", "document")]),
                          E("wsdl:input", E("soap:body", attrs=[("use", "literal")]), header),
                          E("wsdl:output", E("soap:body", attrs=[("use", "literal")])),
                          attrs=[("name", op)]))
    imports = [E("xs:import", attrs=[("namespace", namespace), ("schemaLocation",
                                                                  _LOCATION[namespace])])
               for namespace in (ns.TYPES, ns.SECEXT)]
    return document(E(
        "wsdl:definitions",
        E("wsdl:types", E("xs:schema", *imports)),
        *messages,
        E("wsdl:message", E("wsdl:part", attrs=[("name", "Security"),
                                                ("element", "wsse:Security")]),
          attrs=[("name", "security")]),
        E("wsdl:portType", *operations, attrs=[("name", "geo")]),
        E("wsdl:binding",
          E("soap:binding", attrs=[("style", "document"),
                                   ("transport", "http://schemas.xmlsoap.org/soap/http")]),
          *bindings, attrs=[("name", "geoBinding"), ("type", "tns:geo")]),
        E("wsdl:service", E("wsdl:port", E("soap:address", attrs=[("location", address)]),
                            attrs=[("name", "geoPort"), ("binding", "tns:geoBinding")]),
          attrs=[("name", "geoService")]),
        attrs=[("xmlns:wsdl", ns.WSDL), ("xmlns:soap", ns.WSDL_SOAP), ("xmlns:xs", ns.XSD),
               ("xmlns:tns", ns.SERVICE), ("xmlns:t", ns.TYPES), ("xmlns:wsse", ns.SECEXT),
               ("name", "geo"), ("targetNamespace", ns.SERVICE)]))
