"""The request schema of the service and a validator that answers like the service's own.

Every request element is checked namespace-aware against the content model the service's
schema gives it: element names, their namespaces, order and counts, attributes and simple
values. The first violation is reported with the wording of the Java schema validator the
service runs on, naming the element, so a misplaced namespace reads as it would from the real
service.
"""

import base64
import binascii
import re

from . import ns

UNBOUNDED = 1 << 30


class SchemaError(Exception):
    pass


def _show(value):
    return value if len(value) <= 80 else value[:77] + "..."


# ---------------------------------------------------------------- simple types

class Simple:
    """A simple type: a pattern or an enumeration, optionally a length limit."""

    def __init__(self, name, pattern=None, enum=None, max_length=None, collapse=True,
                 convert=None):
        self.name = name
        self.pattern = pattern
        self.regex = re.compile(pattern, re.S) if pattern else None
        self.enum = enum
        self.max_length = max_length
        self.collapse = collapse
        self.convert = convert

    def check(self, raw):
        """Returns the value, or the validator's complaint about it."""
        value = " ".join(raw.split()) if self.collapse else raw
        if self.enum is not None and value not in self.enum:
            return None, ("cvc-enumeration-valid: Value '%s' is not facet-valid with respect to "
                          "enumeration '[%s]'. It must be a value from the enumeration."
                          % (_show(value), ", ".join(self.enum)))
        if self.regex is not None and not self.regex.fullmatch(value):
            return None, ("cvc-pattern-valid: Value '%s' is not facet-valid with respect to "
                          "pattern '%s' for type '%s'." % (_show(value), self.pattern, self.name))
        if self.max_length is not None and len(value) > self.max_length:
            return None, ("cvc-maxLength-valid: Value '%s' with length = '%d' is not facet-valid "
                          "with respect to maxLength '%d' for type '%s'."
                          % (_show(value), len(value), self.max_length, self.name))
        if self.convert is not None:
            try:
                return self.convert(value), None
            except ValueError as e:
                return None, "cvc-datatype-valid.1.2.1: '%s' is not a valid value for '%s'. %s" % (
                    _show(value), self.name, e)
        return value, None


def _int32(text):
    value = int(text)
    if not -2 ** 31 <= value < 2 ** 31:
        raise ValueError("The value is out of the range of int.")
    return value


def _base64(text):
    try:
        return base64.b64decode("".join(text.split()), validate=True)
    except binascii.Error:
        raise ValueError("It is not valid base64 content.") from None


def _doubles(text):
    return [float(x) for x in text.split()] if text else []


def decimal(name, digits):
    """A whole number; the service reads it as a number, so leading zeros do not count."""
    return Simple(name, "[0-9]{1,%d}" % digits, convert=lambda v: str(int(v)))


def text(name, max_length):
    return Simple(name, max_length=max_length, collapse=False)


ID = decimal("IdType", 30)
ID_OBJEKTU = decimal("IdObjektuType", 30)
ID_PRILOHY = decimal("IdPrilohyWSType", 30)
KATUZE = Simple("KatastrUzemiKodType", "[0-9]{6}")
ZPMZ = decimal("CisloZPMZType", 5)
KMEN = decimal("ParcelaKmenoveCisloType", 5)
PODDELENI = decimal("ParcelaPoddeleniType", 3)
PBPP = decimal("CisloPBPPType", 4)
DECIMAL = Simple("decimal", "[+-]?[0-9]+(\\.[0-9]*)?", convert=lambda v: int(float(v)))
BOOLEAN = Simple("boolean", enum=["true", "false", "1", "0"],
                 convert=lambda v: v in ("true", "1"))
VYSLEDEK = Simple("CisloVysledkuZemCinnostiType", "[+-]?[0-9]+", convert=_int32)
ANO_NE = Simple("AnoNeType", enum=["a", "n"])
DRUH_CISLOVANI = Simple("DruhCislovaniParType", enum=["1", "2"])
ZNAKOVA_SADA = Simple("ZnakovaSadaVFType", enum=["ISO8859-2", "CP1250"])
KOMPRESE = Simple("TypKompreseType", enum=["ZIP", "GZIP"])
BASE64 = Simple("base64Binary", convert=_base64, collapse=False)
STRING = Simple("string", collapse=False)
NCNAME = Simple("ID", "[A-Za-z_][A-Za-z0-9_.\\-]*")
POSITIVE = Simple("positiveInteger", "\\+?0*[1-9][0-9]*", convert=int)
DOUBLES = Simple("doubleList", "([+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?"
                 "( [+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?)*)?",
                 convert=_doubles)


# ---------------------------------------------------------------- content models

class Attr:
    def __init__(self, name, type_, namespace="", required=False):
        self.name, self.type, self.ns, self.required = name, type_, namespace, required


class El:
    """An element declaration: a simple type or a content model (Seq), with attributes."""

    def __init__(self, name, type_, namespace=ns.TYPES, min=1, max=1, attrs=(),
                 nillable=False, abstract=False, prefix=None):
        self.name, self.type, self.ns = name, type_, namespace
        self.min, self.max = min, max
        self.attrs = list(attrs)
        self.nillable, self.abstract = nillable, abstract
        self.prefix = prefix


class Seq:
    def __init__(self, *items):
        self.items = list(items)


class Choice:
    def __init__(self, *alternatives, min=1):
        self.alternatives = list(alternatives)   # each an El
        self.min = min


def _display(el):
    return "%s:%s" % (el.prefix, el.name) if el.prefix else el.name


def _first_names(items, start):
    """What the validator lists as expected at a point of a sequence."""
    names = []
    for item in items[start:]:
        if isinstance(item, Choice):
            names += ['"%s":%s' % (a.ns, a.name) for a in item.alternatives if not a.abstract]
            required = item.min > 0
        else:
            names.append('"%s":%s' % (item.ns, item.name))
            required = item.min > 0
        if required:
            break
    return ", ".join(names)


def _matches(node, el):
    return node.name == el.name and node.ns == el.ns


def _invalid_start(node, items, start):
    return SchemaError("cvc-complex-type.2.4.a: Invalid content was found starting with element "
                       "'%s'. One of '{%s}' is expected." % (node.qname, _first_names(items, start)))


def _validate_sequence(parent, parent_el, items):
    children = parent.children
    i = 0
    for k, item in enumerate(items):
        if isinstance(item, Choice):
            chosen = None
            if i < len(children):
                chosen = next((a for a in item.alternatives if _matches(children[i], a)), None)
            if chosen is None:
                if item.min > 0:
                    if i < len(children):
                        raise _invalid_start(children[i], items, k)
                    raise _incomplete(parent_el, items, k)
                continue
            item = chosen
        count = 0
        while i < len(children) and count < item.max and _matches(children[i], item):
            validate(children[i], item)
            i += 1
            count += 1
        if count < item.min:
            if i < len(children):
                raise _invalid_start(children[i], items, k)
            raise _incomplete(parent_el, items, k)
        if i < len(children) and children[i].name == item.name and count < item.max:
            # Right name, wrong namespace: the most common fault of a hand-made request.
            raise _invalid_start(children[i], items, k)
    if i < len(children):
        node = children[i]
        if any(not isinstance(it, Choice) and it.name == node.name for it in items):
            raise _invalid_start(node, items, len(items))
        raise SchemaError("cvc-complex-type.2.4.d: Invalid content was found starting with "
                          "element '%s'. No child element is expected at this point." % node.qname)


def _incomplete(parent_el, items, start):
    return SchemaError("cvc-complex-type.2.4.b: The content of element '%s' is not complete. "
                       "One of '{%s}' is expected." % (_display(parent_el), _first_names(items, start)))


def _validate_attributes(node, el):
    declared = {(a.ns, a.name): a for a in el.attrs}
    nil = False
    for (attr_ns, attr_name), value in node.attrs.items():
        if attr_ns == ns.XSI:
            if attr_name == "nil":
                if not el.nillable:
                    raise SchemaError(
                        "cvc-elt.3.1: Attribute 'http://www.w3.org/2001/XMLSchema-instance,nil' "
                        "must not appear on element '%s', because the {nillable} property of '%s' "
                        "is false." % (_display(el), _display(el)))
                nil = value.strip() in ("true", "1")
                continue
            if attr_name in ("schemaLocation", "noNamespaceSchemaLocation"):
                continue
        attr = declared.get((attr_ns, attr_name))
        if attr is None:
            shown = attr_name if not attr_ns else "%s:%s" % (attr_ns, attr_name)
            raise SchemaError("cvc-complex-type.3.2.2: Attribute '%s' is not allowed to appear in "
                              "element '%s'." % (shown, _display(el)))
        _, problem = attr.type.check(value)
        if problem:
            raise SchemaError("%s cvc-attribute.3: The value '%s' of attribute '%s' on element "
                              "'%s' is not valid with respect to its type, '%s'."
                              % (problem, _show(value), attr_name, _display(el), attr.type.name))
    for attr in el.attrs:
        if attr.required and (attr.ns, attr.name) not in node.attrs:
            shown = attr.name if not attr.ns else "%s:%s" % ("gml" if attr.ns == ns.GML else
                                                             attr.ns, attr.name)
            raise SchemaError("cvc-complex-type.4: Attribute '%s' must appear on element '%s'."
                              % (shown, _display(el)))
    return nil


def validate(node, el):
    """Checks one element against its declaration; simple values land in node.parsed."""
    if el.abstract:
        raise SchemaError("cvc-elt.2: The value of {abstract} in the element declaration for "
                          "'%s' must be false." % _display(el))
    nil = _validate_attributes(node, el)
    if isinstance(el.type, Seq):
        if node.text.strip():
            raise SchemaError("cvc-complex-type.2.3: Element '%s' cannot have character "
                              "[children], because the type's content type is element-only."
                              % _display(el))
        _validate_sequence(node, el, el.type.items)
        return
    if node.children:
        raise SchemaError("cvc-type.3.1.2: Element '%s' is a simple type, so it must have no "
                          "element information item [children]." % _display(el))
    if nil:
        if node.text:
            raise SchemaError("cvc-elt.3.2.1: Element '%s' cannot have character or element "
                              "information [children], because 'xsi:nil' is specified."
                              % _display(el))
        node.parsed = b"" if el.type is BASE64 else None
        return
    value, problem = el.type.check(node.text)
    if problem:
        raise SchemaError("%s cvc-type.3.1.3: The value '%s' of element '%s' is not valid."
                          % (problem, _show(node.text.strip()), _display(el)))
    node.parsed = value


# ---------------------------------------------------------------- the service's requests

def _e(name, type_, **kw):
    return El(name, type_, **kw)


def _gml(name, type_, **kw):
    return El(name, type_, namespace=ns.GML, prefix="gml", **kw)


_SRS = [Attr("srsName", STRING), Attr("srsDimension", POSITIVE)]
_RING = _gml("LinearRing", Seq(Choice(
    _gml("pos", DOUBLES, min=4, max=UNBOUNDED, attrs=_SRS),
    _gml("posList", DOUBLES, attrs=_SRS + [Attr("count", POSITIVE)]))))
_RING_PROPERTY = Seq(Choice(_RING, _gml("AbstractRing", Seq(), abstract=True)))
POLYGON = _gml("Polygon", Seq(_gml("exterior", _RING_PROPERTY, min=0),
                              _gml("interior", _RING_PROPERTY, min=0, max=UNBOUNDED)),
               attrs=[Attr("id", NCNAME, ns.GML, required=True)] + _SRS)

_ID_RIZENI_PM = _e("idRizeniPM", ID)
_KATUZE = _e("katuzeKod", KATUZE)
_DRUH = _e("druhCislovaniPar", DRUH_CISLOVANI)
_KATUZE_LIST = Seq(_e("katuzeKod", KATUZE, namespace=ns.COMMON, max=UNBOUNDED))
_PARCELY_LIST = Seq(_e("idParcely", ID, namespace=ns.COMMON, max=UNBOUNDED))

# Reserved numbers: answers of the reservations and the proceeding detail, and the requests
# that give them back.
_REZERV_ZPMZ = Seq(_KATUZE, _e("cisloZPMZ", ZPMZ))
_REZERV_PARCELY = Seq(_KATUZE, _e("cisloZPMZ", ZPMZ), _DRUH,
                      _e("kmenoveCislo", KMEN, min=0, max=UNBOUNDED))
_REZERV_PODDELENI = Seq(_KATUZE, _e("cisloZPMZ", ZPMZ), _DRUH, _e("kmenoveCislo", KMEN),
                        _e("poddeleniCisla", PODDELENI, min=0, max=UNBOUNDED))
_REZERV_PBPP = Seq(_KATUZE, _e("cisloPBPP", PBPP, min=0, max=UNBOUNDED))

_PROPOSAL = Seq(
    _e("XMLNavrhu", BASE64),
    _e("hashNavrhu", STRING, min=0),
    _e("prilohaNavrhu", BASE64, min=0, max=UNBOUNDED, nillable=True,
       attrs=[Attr("idPrilohy", ID_PRILOHY, required=True), Attr("typKompresePDF", KOMPRESE)]))

REQUESTS = {
    "StavWSRequest": Seq(),
    "ZalozRizeniPMRequest": Seq(
        _e("cisloZakazky", text("CisloZakazkyType", 100)),
        _e("katuzeKodList", _KATUZE_LIST), _e("dotceneParcely", _PARCELY_LIST, min=0)),
    "VytvorRezervaciZPMZRequest": Seq(_ID_RIZENI_PM, _KATUZE),
    "ZrusRezervaciZPMZRequest": Seq(
        _ID_RIZENI_PM, _e("rezervCisloZPMZ", _REZERV_ZPMZ)),
    "VytvorRezervaciPrvkuRequest": Seq(
        _ID_RIZENI_PM, _KATUZE,
        _e("rezervaceParcela", Seq(_e("cisloZPMZ", ZPMZ), _DRUH, _e("pocetRezParcel", DECIMAL)),
           min=0),
        _e("rezervacePoddeleni", Seq(_e("cisloZPMZ", ZPMZ), _DRUH, _e("kmenoveCislo", KMEN),
                                     _e("pocetRezPoddeleni", DECIMAL)), min=0),
        _e("rezervacePBPP", Seq(_e("pocetRezPBPP", DECIMAL)), min=0)),
    "ZrusRezervaciPrvkuRequest": Seq(
        _ID_RIZENI_PM,
        _e("rezervParcely", _REZERV_PARCELY, min=0),
        _e("rezervPoddeleni", _REZERV_PODDELENI, min=0),
        _e("rezervBodyPBPP", _REZERV_PBPP, min=0)),
    "MylneRizeniPMRequest": Seq(_ID_RIZENI_PM,
                                _e("popis", text("DuvodMylnehoRizeniType", 60), min=0)),
    "SeznamRizeniPMRequest": Seq(),
    "DetailRizeniPMRequest": Seq(_ID_RIZENI_PM, _e("rezervace", BOOLEAN)),
    "ExportVFRequest": Seq(
        _e("idRizeni", ID), _e("charset", ZNAKOVA_SADA, min=0),
        _e("email", text("EmailType", 250), min=0), POLYGON,
        *[_e(name, BOOLEAN) for name in ("skNemo", "skBdpa", "skVlst", "skJpvz", "skPkmp",
                                         "skBpej", "skGmpl", "skReze", "skDebo")]),
    "ExportVFStatusRequest": Seq(_e("behId", ID, min=0)),
    "ZalozNavrhZPGRequest": _PROPOSAL,
    "ZalozNavrhZDPRequest": _PROPOSAL,
    "SeznamRizeniPGPRequest": Seq(),
    "VlozParceluRequest": Seq(
        _ID_RIZENI_PM, _e("dotceneParcely", _PARCELY_LIST)),
    "GenerujLVProParcelyPMRequest": Seq(
        _ID_RIZENI_PM, _e("seznamParcel", ID_OBJEKTU, max=UNBOUNDED),
        _e("castecnyVypis", ANO_NE)),
    "SeznamSestavRequest": Seq(_e("idSestavy", ID, min=0)),
    "SmazSestavuRequest": Seq(_e("idSestavy", ID)),
    "VratSestavuRequest": Seq(_e("idSestavy", ID)),
    "NajdiSouborZPMZRequest": Seq(_KATUZE, _e("cisloVysledkuZemCinnosti", VYSLEDEK)),
    "VratSouborZPMZRequest": Seq(_KATUZE, _e("cisloVysledkuZemCinnosti", VYSLEDEK),
                                 _e("zpmzDokumentId", ID)),
}


# ---------------------------------------------------------------- the service's answers
# The simulator builds its answers in code; these models describe them for the published
# service description, and the tests hold every answer the simulator gives to them.

DATETIME = Simple("dateTime", "-?[0-9]{4,}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}"
                              "(\\.[0-9]+)?(Z|[+-][0-9]{2}:[0-9]{2})?")
UROVEN = Simple("ZpravaServeruTypeType", enum=["INFORMACE", "VAROVANI", "CHYBA"])
REPORT_STAV = Simple("ReportStavType", enum=[
    "čeká", "vytváří se", "podepisuje se", "zpracován", "chyba při vytváření",
    "chyba při zpracování", "zaúčtován", "zrušen"])
FORMAT_SESTAVY = Simple("FormatSestavyType", enum=["pdf", "xml", "html", "zip"])
STAV_EXPORTU = Simple("StavExportuVF", enum=["B", "C", "D", "P", "S"])


def _c(name, type_, **kw):
    return El(name, type_, namespace=ns.COMMON, **kw)


def _listed(name, item):
    """A wrapped list the service leaves out when it has no items."""
    return _e(name, Seq(item), min=0)


def _answer(*payload):
    """Every answer begins with its messages; the payload is left out of a refusal."""
    return Seq(_e("vysledek", _VYSLEDEK), *payload)


_VYSLEDEK = Seq(_c("zprava", STRING, min=0, max=UNBOUNDED,
                   attrs=[Attr("kod", DECIMAL, required=True),
                          Attr("uroven", UROVEN, required=True)]))
_SOUBOR = [_e("zpmzDokumentId", ID), _e("nazevSouboru", STRING), _e("velikostSouboru", DECIMAL)]
_PROPOSAL_ANSWER = _answer(_e("rizeni", Seq(
    _c("idRizeni", ID), _c("cisloPodani", STRING), _c("createDate", DATETIME),
    _c("praresKod", DECIMAL), _c("rizeniTyp", STRING), _c("poradoveCislo", DECIMAL),
    _c("rok", DECIMAL), _c("noveRizeniId", ID, min=0)), min=0))

RESPONSES = {
    "StavWSResponse": Seq(
        _c("vysledek", _VYSLEDEK),
        _c("stavSluzby", Seq(_c("verze", STRING, min=0), _c("prihlasovaciJmeno", STRING, min=0),
                             _c("zpracovano", DATETIME, min=0)), min=0)),
    "ZalozRizeniPMResponse": _answer(_e("rizeniPM", Seq(
        _e("idRizeni", ID), _e("cisloRizeni", STRING), _e("praresKod", DECIMAL),
        _e("rizeniTyp", STRING), _e("poradoveCislo", DECIMAL), _e("rok", DECIMAL)), min=0)),
    "VytvorRezervaciZPMZResponse": _answer(_e("rezervCisloZPMZ", _REZERV_ZPMZ, min=0)),
    "ZrusRezervaciZPMZResponse": _answer(),
    "VytvorRezervaciPrvkuResponse": _answer(
        _e("rezervParcely", _REZERV_PARCELY, min=0),
        _e("rezervPoddeleni", _REZERV_PODDELENI, min=0),
        _e("rezervBodyPBPP", _REZERV_PBPP, min=0)),
    "ZrusRezervaciPrvkuResponse": _answer(),
    "MylneRizeniPMResponse": _answer(),
    "SeznamRizeniPMResponse": _answer(_listed("rizeniPMList", _e("rizeniPM", Seq(
        _e("idRizeniPM", ID), _e("cisloRizeni", STRING), _e("cisloZakazky", STRING)),
        max=UNBOUNDED))),
    "DetailRizeniPMResponse": _answer(
        _e("idRizeniPM", ID, min=0), _e("cisloRizeni", STRING, min=0),
        _e("cisloZakazky", STRING, min=0),
        _e("katuzeKodList", _KATUZE_LIST, min=0), _e("dotceneParcely", _PARCELY_LIST, min=0),
        _listed("rezervCislaZPMZList", _e("rezervCisloZPMZ", _REZERV_ZPMZ, max=UNBOUNDED)),
        _listed("rezervParCislaList", _e("rezervParcely", _REZERV_PARCELY, max=UNBOUNDED)),
        _listed("rezervPoddeleniList", _e("rezervPoddeleni", _REZERV_PODDELENI, max=UNBOUNDED)),
        _listed("rezervPBPPList", _e("rezervBodyPBPP", _REZERV_PBPP, max=UNBOUNDED))),
    "ExportVFResponse": _answer(_e("behId", ID, min=0)),
    "ExportVFStatusResponse": _answer(_listed("exportVFStatusList", _e("exportVFStatus", Seq(
        _e("behId", ID), _e("stavBehu", STAV_EXPORTU), _e("linkVF", STRING, min=0),
        _e("hashExportu", STRING, min=0)), max=UNBOUNDED))),
    "ZalozNavrhZPGResponse": _PROPOSAL_ANSWER,
    "ZalozNavrhZDPResponse": _PROPOSAL_ANSWER,
    "SeznamRizeniPGPResponse": _answer(_listed("rizeniPGPList", _e("rizeniPGP", Seq(
        _e("idRizeniPGP", ID), _e("cisloRizeni", STRING), _e("datumPrijetiZPG", DATETIME),
        _e("stavRizeni", STRING),
        _listed("katuzeZPMZList", _e("katuzeZPMZ", Seq(
            _KATUZE, _e("katuzeNazev", STRING),
            _listed("cislaZPMZList", _e("cisloZPMZ", ZPMZ, max=UNBOUNDED))), max=UNBOUNDED)),
        _e("cisloZPG", STRING)), max=UNBOUNDED))),
    "VlozParceluResponse": _answer(),
    "GenerujSestavuResponse": _answer(_listed("reportList", _e("report", Seq(
        _e("id", ID), _e("nazev", STRING), _e("pocetStran", DECIMAL, min=0),
        _e("datumPozadavku", DATETIME), _e("datumSpusteni", DATETIME, min=0),
        _e("datumVytvoreni", DATETIME, min=0), _e("stav", REPORT_STAV),
        _e("format", FORMAT_SESTAVY), _e("souborSestavy", BASE64, min=0)), max=UNBOUNDED))),
    "NajdiSouborZPMZResponse": _answer(_listed("souborZPMZList", _e(
        "souborZPMZ", Seq(*_SOUBOR), max=UNBOUNDED))),
    "VratSouborZPMZResponse": _answer(_e("souborZPMZ", Seq(
        *_SOUBOR, _e("obsahSouboru", BASE64)), min=0)),
}


def validate_request(node):
    """Checks a request element of the types namespace; raises SchemaError."""
    validate(node, El(node.name, REQUESTS[node.name]))


def validate_response(node):
    """Checks an answer's response element against the description; raises SchemaError."""
    validate(node, El(node.name, RESPONSES[node.name]))
