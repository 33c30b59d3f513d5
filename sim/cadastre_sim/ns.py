"""Namespaces, SOAP actions and the operations of the geometric-plan service."""

HOST = "http://katastr.cuzk.cz"

SOAP_ENV = "http://schemas.xmlsoap.org/soap/envelope/"
XSI = "http://www.w3.org/2001/XMLSchema-instance"
GML = "http://www.opengis.net/gml/3.2"
XSD = "http://www.w3.org/2001/XMLSchema"
WSDL = "http://schemas.xmlsoap.org/wsdl/"
WSDL_SOAP = "http://schemas.xmlsoap.org/wsdl/soap/"
SECEXT = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd"
XMLDSIG = "http://www.w3.org/2000/09/xmldsig#"

SERVICE = HOST + "/geows/v2.9"
TYPES = HOST + "/geows/types/v2.9"
COMMON = HOST + "/commonTypes/v2.9"
BASE = HOST + "/baseTypes/v2.9"
GEO_COMMON = HOST + "/geoCommmonTypes/v2.9"

# The inner proposal document (content schema version 2.2).
ENX = HOST + "/enx/content/v2.2"
ENX_COMMON = HOST + "/commonTypes/v2.2"

ENDPOINT = "/ws/geo/2.9/geo"

# operation -> SOAP action name; request element is <Op>Request with a capital first letter.
# Only exportVF travels under an action of another name.
OPERATIONS = [
    "stavWS", "zalozRizeniPM", "vytvorRezervaciZPMZ", "zrusRezervaciZPMZ",
    "vytvorRezervaciPrvku", "zrusRezervaciPrvku", "mylneRizeniPM", "seznamRizeniPM",
    "detailRizeniPM", "exportVF", "exportVFStatus", "zalozNavrhZPG", "zalozNavrhZDP",
    "seznamRizeniPGP", "vlozParcelu", "generujLVProParcelyPM", "seznamSestav",
    "smazSestavu", "vratSestavu", "najdiSouborZPMZ", "vratSouborZPMZ",
]
ACTION_NAMES = {op: ("exportNVF" if op == "exportVF" else op) for op in OPERATIONS}

# The four report operations answer with one shared response element.
RESPONSE_ELEMENTS = {
    "generujLVProParcelyPM": "GenerujSestavuResponse",
    "seznamSestav": "GenerujSestavuResponse",
    "smazSestavu": "GenerujSestavuResponse",
    "vratSestavu": "GenerujSestavuResponse",
}


def action_uri(operation):
    return HOST + "/geows/" + ACTION_NAMES[operation]


def request_element(operation):
    return operation[0].upper() + operation[1:] + "Request"


def response_element(operation):
    return RESPONSE_ELEMENTS.get(operation, operation[0].upper() + operation[1:] + "Response")


OPERATION_BY_REQUEST = {request_element(op): op for op in OPERATIONS}
OPERATION_BY_ACTION = {action_uri(op): op for op in OPERATIONS}
