"""The service's behaviour: state per run and one handler per operation.

Handlers get a request element that has passed the schema check (simple values already in
node.parsed) and return the payload elements that follow `vysledek`. A refusal is raised as
Refusal and answered as an ordinary response whose `vysledek` carries the reason. The whole
state is one JSON-ready dict, written out after every request for tests to assert on.
"""

import datetime
import hashlib
import zoneinfo

from . import content, ns, signature, xmltree
from .xmltree import E, Base64Content

ZONE = zoneinfo.ZoneInfo("Europe/Prague")
SUCCESS = ("0", "INFORMACE", "Požadovaná akce byla úspěšně provedena.")
PRARES_KOD = "601"
MAX_COUNT = 99

# Refusal codes of this simulator (the schema check answers with code "1").
SCHEMA = "1"
PROCEEDING_UNKNOWN = "10"
PROCEEDING_ERRONEOUS = "11"
PROCEEDING_ERRONEOUS_NOTE = "12"
PARCEL_ALREADY_THERE = "13"
ZPMZ_NOT_RESERVED = "20"
ELEMENT_NOT_RESERVED = "21"
ZPMZ_NOT_IN_PROCEEDING = "22"
COUNT_OUT_OF_RANGE = "23"
NOTHING_REQUESTED = "24"
ZPMZ_IN_USE = "25"
NUMBERS_EXHAUSTED = "26"
AREA_UNKNOWN = "30"
AREA_NOT_IN_PROCEEDING = "31"
EXPORT_UNKNOWN = "40"
NO_DATA_GROUP = "41"
POLYGON_INVALID = "42"
POSITION_DIMENSION = "43"
REPORT_UNKNOWN = "50"
REPORT_NOT_READY = "51"
RESULT_UNKNOWN = "60"
DOCUMENT_UNKNOWN = "61"
SIGNATURE_INVALID = "70"
ATTACHMENT_MISMATCH = "71"
PGP_UNKNOWN = "72"
PROPOSAL_MALFORMED = "73"

DATA_GROUPS = ("skNemo", "skBdpa", "skVlst", "skJpvz", "skPkmp", "skBpej", "skGmpl", "skReze",
               "skDebo")
REPORT_STATES = ("čeká", "vytváří se", "zpracován")
EXPORT_STATES = ("C", "B", "D")     # queued, running, done


class Refusal(Exception):
    def __init__(self, code, text, level="CHYBA"):
        super().__init__(text)
        self.code, self.text, self.level = code, text, level


def now():
    return datetime.datetime.now(ZONE)


def stamp(moment):
    return moment.isoformat(timespec="milliseconds")


def t(name, value=None, *children):
    """An element of the types namespace."""
    return E("ns0:" + name, *children, text=value)


def c(name, value=None, *children):
    """An element of the common types namespace."""
    return E("ns1:" + name, *children, text=value)


def wrapped(name, items):
    return t(name, None, *items) if items else None


def _group(records, keys, item):
    """Reservations kept one number per record, grouped as the service lists them."""
    groups = {}
    for r in records:
        groups.setdefault(tuple(r[k] for k in keys), []).append(r[item])
    return groups


class Service:
    def __init__(self, user, base_url, files_dir=None, trust_cert=None, lenient_signature=False):
        self.user = user
        self.base_url = base_url
        self.files_dir = files_dir
        self.trust_cert = trust_cert
        self.lenient_signature = lenient_signature
        self.warnings = []
        self.files = {}          # export run id -> exchange-format bytes
        self.report_files = {}   # report id -> PDF bytes
        self.state = {
            "requests": 0,
            "calls": [],
            "proceedings": [],
            "exports": [],
            "reports": [],
            "deletedReports": [],
            "downloads": [],
            "proposals": [],
            "pgp": [],
            "counters": {"rizeniPM": 74350000, "poradoveCisloPM": 0, "behId": 91000000,
                         "sestava": 88000000, "rizeniPGP": 52000000, "poradoveCisloPGP": 11,
                         "podani": 0},
        }
        self._seed_pgp()

    # ------------------------------------------------------------ plumbing

    def handle(self, operation, request):
        """Runs one operation: (messages, payload elements)."""
        self.warnings = []
        payload = getattr(self, "op_" + operation)(request)
        return [SUCCESS] + self.warnings, payload

    def warn(self, code, text):
        self.warnings.append((code, "VAROVANI", text))

    def _next(self, key, start=0):
        counters = self.state["counters"]
        counters[key] = counters.get(key, start) + 1
        return counters[key]

    def _proceeding(self, id_rizeni, for_change=True):
        for p in self.state["proceedings"]:
            if p["idRizeni"] == id_rizeni:
                if for_change and p["mylne"]:
                    raise Refusal(PROCEEDING_ERRONEOUS,
                                  "Řízení PM %s je označeno jako mylné." % p["cisloRizeni"])
                return p
        raise Refusal(PROCEEDING_UNKNOWN, "Řízení PM s id %s neexistuje." % id_rizeni)

    @staticmethod
    def _area(kod):
        if not content.area_exists(kod):
            raise Refusal(AREA_UNKNOWN, "Katastrální území %s neexistuje." % kod)
        return kod

    def _area_of(self, proceeding, kod):
        self._area(kod)
        if kod not in proceeding["katuzeKodList"]:
            raise Refusal(AREA_NOT_IN_PROCEEDING, "Katastrální území %s není v řízení %s uvedeno."
                          % (kod, proceeding["cisloRizeni"]))
        return kod

    @staticmethod
    def _count(node, name):
        value = node.value(name)
        if not 1 <= value <= MAX_COUNT:
            raise Refusal(COUNT_OUT_OF_RANGE, "Počet rezervovaných čísel (%s) musí být od 1 do %d."
                          % (name, MAX_COUNT))
        return value

    # ------------------------------------------------------------ service state

    def op_stavWS(self, request):
        return [c("stavSluzby", None, c("verze", "2.9.0"), c("prihlasovaciJmeno", self.user),
                  c("zpracovano", stamp(now())))]

    # ------------------------------------------------------------ PM proceedings

    def op_zalozRizeniPM(self, request):
        areas = [self._area(n.parsed) for n in request.child("katuzeKodList").children]
        parcels = request.child("dotceneParcely")
        year = str(now().year)
        number = self._next("poradoveCisloPM")
        proceeding = {
            "idRizeni": str(self._next("rizeniPM")),
            "cisloRizeni": "PM-%d/%s-%s" % (number, year, PRARES_KOD),
            "praresKod": PRARES_KOD, "rizeniTyp": "PM", "poradoveCislo": str(number),
            "rok": year, "cisloZakazky": request.value("cisloZakazky"),
            "katuzeKodList": list(dict.fromkeys(areas)),
            "dotceneParcely": list(dict.fromkeys(n.parsed for n in parcels.children))
            if parcels is not None else [],
            "mylne": False, "duvodMylne": None,
            "zpmz": [], "parcely": [], "poddeleni": [], "pbpp": [], "released": [],
        }
        self.state["proceedings"].append(proceeding)
        return [t("rizeniPM", None, *[t(k, proceeding[k]) for k in (
            "idRizeni", "cisloRizeni", "praresKod", "rizeniTyp", "poradoveCislo", "rok")])]

    def op_seznamRizeniPM(self, request):
        items = [t("rizeniPM", None, t("idRizeniPM", p["idRizeni"]),
                   t("cisloRizeni", p["cisloRizeni"]), t("cisloZakazky", p["cisloZakazky"]))
                 for p in self.state["proceedings"] if not p["mylne"]]
        return [wrapped("rizeniPMList", items)]

    def op_detailRizeniPM(self, request):
        p = self._proceeding(request.value("idRizeniPM"), for_change=False)
        if p["mylne"]:
            self.warn(PROCEEDING_ERRONEOUS_NOTE, "Řízení %s je označeno jako mylné."
                      % p["cisloRizeni"])
        payload = [t("idRizeniPM", p["idRizeni"]), t("cisloRizeni", p["cisloRizeni"]),
                   t("cisloZakazky", p["cisloZakazky"]),
                   wrapped("katuzeKodList", [c("katuzeKod", k) for k in p["katuzeKodList"]]),
                   wrapped("dotceneParcely", [c("idParcely", i) for i in p["dotceneParcely"]])]
        if request.value("rezervace"):
            payload += self._reservation_lists(p)
        return payload

    def _reservation_lists(self, p):
        zpmz = [t("rezervCisloZPMZ", None, t("katuzeKod", r["katuzeKod"]),
                  t("cisloZPMZ", r["cisloZPMZ"])) for r in p["zpmz"]]
        parcely = [t("rezervParcely", None, t("katuzeKod", k), t("cisloZPMZ", z),
                     t("druhCislovaniPar", d), *[t("kmenoveCislo", n) for n in numbers])
                   for (k, z, d), numbers in _group(p["parcely"], ("katuzeKod", "cisloZPMZ",
                                                                   "druhCislovaniPar"),
                                                    "kmenoveCislo").items()]
        poddeleni = [t("rezervPoddeleni", None, t("katuzeKod", k), t("cisloZPMZ", z),
                       t("druhCislovaniPar", d), t("kmenoveCislo", m),
                       *[t("poddeleniCisla", n) for n in numbers])
                     for (k, z, d, m), numbers in _group(
                         p["poddeleni"], ("katuzeKod", "cisloZPMZ", "druhCislovaniPar",
                                          "kmenoveCislo"), "poddeleniCislo").items()]
        body = [t("rezervBodyPBPP", None, t("katuzeKod", k), *[t("cisloPBPP", n) for n in numbers])
                for (k,), numbers in _group(p["pbpp"], ("katuzeKod",), "cisloPBPP").items()]
        return [wrapped("rezervCislaZPMZList", zpmz), wrapped("rezervParCislaList", parcely),
                wrapped("rezervPoddeleniList", poddeleni), wrapped("rezervPBPPList", body)]

    def op_mylneRizeniPM(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        p["mylne"] = True
        p["duvodMylne"] = request.value("popis")
        return []

    def op_vlozParcelu(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        for node in request.child("dotceneParcely").children:
            if node.parsed in p["dotceneParcely"]:
                self.warn(PARCEL_ALREADY_THERE, "Parcela %s již je v řízení %s vedena."
                          % (node.parsed, p["cisloRizeni"]))
            else:
                p["dotceneParcely"].append(node.parsed)
        return []

    # ------------------------------------------------------------ reservations

    def op_vytvorRezervaciZPMZ(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        kod = self._area_of(p, request.value("katuzeKod"))
        number = str(self._next("zpmz/" + kod, 500))
        p["zpmz"].append({"katuzeKod": kod, "cisloZPMZ": number})
        return [t("rezervCisloZPMZ", None, t("katuzeKod", kod), t("cisloZPMZ", number))]

    def op_zrusRezervaciZPMZ(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        block = request.child("rezervCisloZPMZ")
        record = {"katuzeKod": block.value("katuzeKod"), "cisloZPMZ": block.value("cisloZPMZ")}
        if record not in p["zpmz"]:
            raise Refusal(ZPMZ_NOT_RESERVED, "Číslo ZPMZ %s v k.ú. %s není v řízení %s rezervováno."
                          % (record["cisloZPMZ"], record["katuzeKod"], p["cisloRizeni"]))
        if any(r["katuzeKod"] == record["katuzeKod"] and r["cisloZPMZ"] == record["cisloZPMZ"]
               for r in p["parcely"] + p["poddeleni"]):
            raise Refusal(ZPMZ_IN_USE, "Na číslo ZPMZ %s jsou vázány rezervace parcelních čísel; "
                          "zrušte je nejdříve." % record["cisloZPMZ"])
        p["zpmz"].remove(record)
        p["released"].append(record)
        return []

    def _reserved_zpmz(self, p, kod, cislo):
        if {"katuzeKod": kod, "cisloZPMZ": cislo} not in p["zpmz"]:
            raise Refusal(ZPMZ_NOT_IN_PROCEEDING, "Číslo ZPMZ %s v k.ú. %s není v řízení %s "
                          "rezervováno." % (cislo, kod, p["cisloRizeni"]))

    def op_vytvorRezervaciPrvku(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        kod = self._area_of(p, request.value("katuzeKod"))
        parcel, subdivision, points = (request.child(n) for n in (
            "rezervaceParcela", "rezervacePoddeleni", "rezervacePBPP"))
        # (block, counter, first number - 1, largest number, how many)
        wanted = []
        if parcel is not None:
            self._reserved_zpmz(p, kod, parcel.value("cisloZPMZ"))
            wanted.append((parcel, "kmen/%s/%s" % (kod, parcel.value("druhCislovaniPar")), 1200,
                           99999, self._count(parcel, "pocetRezParcel")))
        if subdivision is not None:
            self._reserved_zpmz(p, kod, subdivision.value("cisloZPMZ"))
            wanted.append((subdivision, "poddeleni/%s/%s/%s" % (
                kod, subdivision.value("druhCislovaniPar"), subdivision.value("kmenoveCislo")),
                0, 999, self._count(subdivision, "pocetRezPoddeleni")))
        if points is not None:
            wanted.append((points, "pbpp/" + kod, 0, 999, self._count(points, "pocetRezPBPP")))
        if not wanted:
            raise Refusal(NOTHING_REQUESTED, "Požadavek neobsahuje žádnou rezervaci.")
        counters = self.state["counters"]
        for _, key, start, limit, count in wanted:
            if counters.get(key, start) + count > limit:
                raise Refusal(NUMBERS_EXHAUSTED, "Volná čísla (%s) jsou vyčerpána." % key)

        payload = []
        for block, key, start, _, count in wanted:
            numbers = [str(self._next(key, start)) for _ in range(count)]
            if block is parcel:
                zpmz, druh = parcel.value("cisloZPMZ"), parcel.value("druhCislovaniPar")
                p["parcely"] += [{"katuzeKod": kod, "cisloZPMZ": zpmz, "druhCislovaniPar": druh,
                                  "kmenoveCislo": n} for n in numbers]
                payload.append(t("rezervParcely", None, t("katuzeKod", kod), t("cisloZPMZ", zpmz),
                                 t("druhCislovaniPar", druh),
                                 *[t("kmenoveCislo", n) for n in numbers]))
            elif block is subdivision:
                zpmz, druh = subdivision.value("cisloZPMZ"), subdivision.value("druhCislovaniPar")
                stem = subdivision.value("kmenoveCislo")
                p["poddeleni"] += [{"katuzeKod": kod, "cisloZPMZ": zpmz, "druhCislovaniPar": druh,
                                    "kmenoveCislo": stem, "poddeleniCislo": n} for n in numbers]
                payload.append(t("rezervPoddeleni", None, t("katuzeKod", kod),
                                 t("cisloZPMZ", zpmz), t("druhCislovaniPar", druh),
                                 t("kmenoveCislo", stem),
                                 *[t("poddeleniCisla", n) for n in numbers]))
            else:
                p["pbpp"] += [{"katuzeKod": kod, "cisloPBPP": n} for n in numbers]
                payload.append(t("rezervBodyPBPP", None, t("katuzeKod", kod),
                                 *[t("cisloPBPP", n) for n in numbers]))
        return payload

    def op_zrusRezervaciPrvku(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        wanted = []    # (list in the proceeding, record, how the number is named)
        block = request.child("rezervParcely")
        if block is not None:
            base = {k: block.value(k) for k in ("katuzeKod", "cisloZPMZ", "druhCislovaniPar")}
            wanted += [(p["parcely"], dict(base, kmenoveCislo=n.parsed),
                        "parcelní číslo %s" % n.parsed) for n in block.all("kmenoveCislo")]
        block = request.child("rezervPoddeleni")
        if block is not None:
            base = {k: block.value(k) for k in ("katuzeKod", "cisloZPMZ", "druhCislovaniPar",
                                                "kmenoveCislo")}
            wanted += [(p["poddeleni"], dict(base, poddeleniCislo=n.parsed),
                        "číslo dílu %s/%s" % (base["kmenoveCislo"], n.parsed))
                       for n in block.all("poddeleniCisla")]
        block = request.child("rezervBodyPBPP")
        if block is not None:
            wanted += [(p["pbpp"], {"katuzeKod": block.value("katuzeKod"), "cisloPBPP": n.parsed},
                        "číslo bodu PBPP %s" % n.parsed) for n in block.all("cisloPBPP")]
        if not wanted:
            raise Refusal(NOTHING_REQUESTED, "Požadavek neobsahuje žádné číslo ke zrušení.")
        for records, record, label in wanted:
            if record not in records:
                raise Refusal(ELEMENT_NOT_RESERVED, "%s (k.ú. %s) není v řízení %s rezervováno."
                              % (label[0].upper() + label[1:], record["katuzeKod"],
                                 p["cisloRizeni"]))
        for records, record, _ in wanted:
            records.remove(record)
            p["released"].append(record)
        return []

    # ------------------------------------------------------------ exchange-format export

    def op_exportVF(self, request):
        p = self._proceeding(request.value("idRizeni"))
        groups = [g for g in DATA_GROUPS if request.value(g)]
        if not groups:
            raise Refusal(NO_DATA_GROUP, "Není vybrána žádná skupina dat k exportu.")
        polygon = self._polygon(request.child("Polygon"))
        run = {"behId": str(self._next("behId")), "idRizeni": p["idRizeni"],
               "charset": request.value("charset") or "ISO8859-2", "email": request.value("email"),
               "polygon": polygon, "skupiny": [g[2:].upper() for g in groups],
               "polls": 0, "stavBehu": EXPORT_STATES[0], "linkVF": None, "hashExportu": None,
               "zalozeno": stamp(now())}
        self.state["exports"].append(run)
        return [t("behId", run["behId"])]

    @staticmethod
    def _ring(ring_property, what):
        ring = ring_property.children[0]
        pos_list = ring.child("posList")
        if pos_list is not None:
            dimension = pos_list.attrs.get(("", "srsDimension"), "2")
            values, size = pos_list.parsed, int(dimension)
            if len(values) % size:
                raise Refusal(POSITION_DIMENSION, "Seznam souřadnic %s nelze rozdělit na body "
                              "dimenze %d." % (what, size))
            points = [values[i:i + size] for i in range(0, len(values), size)]
        else:
            points = []
            for pos in ring.all("pos"):
                size = int(pos.attrs.get(("", "srsDimension"), "2"))
                if len(pos.parsed) != size:
                    raise Refusal(POSITION_DIMENSION, "Bod %s '%s' nemá %d souřadnice."
                                  % (what, pos.text.strip(), size))
                points.append(pos.parsed)
        if len(points) < 4 or points[0] != points[-1]:
            raise Refusal(POLYGON_INVALID, "Hranice %s není uzavřená: první a poslední bod se "
                          "musí shodovat." % what)
        return points

    def _polygon(self, node):
        exterior = node.child("exterior")
        if exterior is None:
            raise Refusal(POLYGON_INVALID, "Polygon nemá vnější hranici (gml:exterior).")
        return {"id": node.attrs[(ns.GML, "id")], "srsName": node.attrs.get(("", "srsName")),
                "srsDimension": node.attrs.get(("", "srsDimension")),
                "exterior": self._ring(exterior, "polygonu"),
                "interiors": [self._ring(r, "otvoru %d" % i)
                              for i, r in enumerate(node.all("interior"), 1)]}

    def op_exportVFStatus(self, request):
        beh_id = request.value("behId")
        runs = self.state["exports"]
        if beh_id is not None:
            runs = [r for r in runs if r["behId"] == beh_id]
            if not runs:
                raise Refusal(EXPORT_UNKNOWN, "Běh exportu %s neexistuje." % beh_id)
        items = [self._poll(run) for run in runs]
        return [wrapped("exportVFStatusList", items)]

    def _poll(self, run):
        """Answers the run's state, then moves it on one step towards done."""
        item = t("exportVFStatus", None, t("behId", run["behId"]), t("stavBehu", run["stavBehu"]),
                 t("linkVF", run["linkVF"]) if run["linkVF"] else None,
                 t("hashExportu", run["hashExportu"]) if run["hashExportu"] else None)
        run["polls"] += 1
        step = EXPORT_STATES.index(run["stavBehu"])
        if step + 1 < len(EXPORT_STATES):
            run["stavBehu"] = EXPORT_STATES[step + 1]
            if run["stavBehu"] == EXPORT_STATES[-1]:
                data = content.exchange_file(run, now())
                self.files[run["behId"]] = data
                run["linkVF"] = "%s/vf/%s.vfk" % (self.base_url, run["behId"])
                run["hashExportu"] = hashlib.sha256(data).hexdigest()
                run["velikost"] = len(data)
        return item

    def exchange_file(self, beh_id):
        return self.files.get(beh_id)

    # ------------------------------------------------------------ ownership-sheet reports

    def _report_element(self, r, with_file=False):
        return t("report", None, t("id", r["id"]), t("nazev", r["nazev"]),
                 t("pocetStran", r["pocetStran"]) if r["pocetStran"] else None,
                 t("datumPozadavku", r["datumPozadavku"]),
                 t("datumSpusteni", r["datumSpusteni"]) if r["datumSpusteni"] else None,
                 t("datumVytvoreni", r["datumVytvoreni"]) if r["datumVytvoreni"] else None,
                 t("stav", r["stav"]), t("format", r["format"]),
                 E("ns0:souborSestavy", text=Base64Content(self.report_files[r["id"]]))
                 if with_file else None)

    def _report(self, id_sestavy):
        for r in self.state["reports"]:
            if r["id"] == id_sestavy:
                return r
        raise Refusal(REPORT_UNKNOWN, "Sestava %s neexistuje." % id_sestavy)

    def op_generujLVProParcelyPM(self, request):
        p = self._proceeding(request.value("idRizeniPM"))
        report = {"id": str(self._next("sestava")), "idRizeniPM": p["idRizeni"],
                  "cisloRizeni": p["cisloRizeni"],
                  "parcely": [n.parsed for n in request.all("seznamParcel")],
                  "castecnyVypis": request.value("castecnyVypis"),
                  "nazev": "Výpis z katastru nemovitostí (LV) pro parcely řízení %s"
                           % p["cisloRizeni"],
                  "stav": REPORT_STATES[0], "format": "pdf", "pocetStran": None,
                  "datumPozadavku": stamp(now()), "datumSpusteni": None, "datumVytvoreni": None,
                  "velikost": None, "sha256": None}
        self.state["reports"].append(report)
        return [t("reportList", None, self._report_element(report))]

    def op_seznamSestav(self, request):
        reports = self.state["reports"]
        if request.value("idSestavy") is not None:
            reports = [self._report(request.value("idSestavy"))]
        items = []
        for r in reports:
            items.append(self._report_element(r))
            self._advance(r)
        return [wrapped("reportList", items)]

    def _advance(self, r):
        """A listing moves a report one step on: waiting, being made, done."""
        step = REPORT_STATES.index(r["stav"])
        if step + 1 == len(REPORT_STATES):
            return
        r["stav"] = REPORT_STATES[step + 1]
        if step == 0:
            r["datumSpusteni"] = stamp(now())
        else:
            data = content.report_pdf(r)
            self.report_files[r["id"]] = data
            r.update(datumVytvoreni=stamp(now()), pocetStran=str(len(r["parcely"])),
                     velikost=len(data), sha256=hashlib.sha256(data).hexdigest())

    def op_vratSestavu(self, request):
        r = self._report(request.value("idSestavy"))
        if r["stav"] != REPORT_STATES[-1]:
            raise Refusal(REPORT_NOT_READY, "Sestava %s dosud není zpracována (stav: %s)."
                          % (r["id"], r["stav"]))
        return [t("reportList", None, self._report_element(r, with_file=True))]

    def op_smazSestavu(self, request):
        r = self._report(request.value("idSestavy"))
        self.state["reports"].remove(r)
        self.state["deletedReports"].append(r["id"])
        self.report_files.pop(r["id"], None)
        return []

    # ------------------------------------------------------------ ZPMZ files

    def _documents(self, request):
        kod = self._area(request.value("katuzeKod"))
        cislo = request.value("cisloVysledkuZemCinnosti")
        if cislo <= 0:
            raise Refusal(RESULT_UNKNOWN, "Výsledek zeměměřické činnosti %d v k.ú. %s nebyl "
                          "nalezen." % (cislo, kod))
        return content.zpmz_documents(kod, cislo, self.files_dir)

    @staticmethod
    def _content(source):
        return Base64Content(data=source) if isinstance(source, bytes) else Base64Content(
            path=source)

    def op_najdiSouborZPMZ(self, request):
        items = [t("souborZPMZ", None, t("zpmzDokumentId", doc_id), t("nazevSouboru", name),
                   t("velikostSouboru", str(self._content(source).size)))
                 for doc_id, name, source in self._documents(request)]
        return [wrapped("souborZPMZList", items)]

    def op_vratSouborZPMZ(self, request):
        wanted = request.value("zpmzDokumentId")
        for doc_id, name, source in self._documents(request):
            if doc_id == wanted:
                data = self._content(source)
                self.state["downloads"].append({
                    "katuzeKod": request.value("katuzeKod"),
                    "cisloVysledkuZemCinnosti": request.value("cisloVysledkuZemCinnosti"),
                    "zpmzDokumentId": doc_id, "nazevSouboru": name, "velikost": data.size})
                return [t("souborZPMZ", None, t("zpmzDokumentId", doc_id),
                          t("nazevSouboru", name), t("velikostSouboru", str(data.size)),
                          E("ns0:obsahSouboru", text=data))]
        raise Refusal(DOCUMENT_UNKNOWN, "Dokument %s výsledku zeměměřické činnosti nebyl nalezen."
                      % wanted)

    # ------------------------------------------------------------ proposals and PGP

    def _seed_pgp(self):
        """The surveyor's earlier plan, so that the PGP list has something to show."""
        received = now() - datetime.timedelta(days=14)
        self._new_pgp(received, "potvrzeno", [
            {"katuzeKod": "600001", "katuzeNazev": content.area_name("600001"),
             "cislaZPMZ": ["412", "413", "420"]},
            {"katuzeKod": "610003", "katuzeNazev": content.area_name("610003"),
             "cislaZPMZ": ["77"]}])

    def _new_pgp(self, received, state, areas):
        number = self._next("poradoveCisloPGP")
        year = str(received.year)
        pgp = {"idRizeniPGP": str(self._next("rizeniPGP")),
               "cisloRizeni": "PGP-%d/%s-%s" % (number, year, PRARES_KOD),
               "datumPrijetiZPG": stamp(received), "stavRizeni": state,
               "cisloZPG": "ZPG-%d/%s" % (number, year), "praresKod": PRARES_KOD,
               "rizeniTyp": "PGP", "poradoveCislo": str(number), "rok": year,
               "katuzeZPMZ": areas, "podani": []}
        self.state["pgp"].append(pgp)
        return pgp

    def op_seznamRizeniPGP(self, request):
        items = [t("rizeniPGP", None, t("idRizeniPGP", g["idRizeniPGP"]),
                   t("cisloRizeni", g["cisloRizeni"]), t("datumPrijetiZPG", g["datumPrijetiZPG"]),
                   t("stavRizeni", g["stavRizeni"]),
                   wrapped("katuzeZPMZList", [
                       t("katuzeZPMZ", None, t("katuzeKod", a["katuzeKod"]),
                         t("katuzeNazev", a["katuzeNazev"]),
                         wrapped("cislaZPMZList", [t("cisloZPMZ", n) for n in a["cislaZPMZ"]]))
                       for a in g["katuzeZPMZ"]]),
                   t("cisloZPG", g["cisloZPG"]))
                 for g in self.state["pgp"]]
        return [wrapped("rizeniPGPList", items)]

    def op_zalozNavrhZPG(self, request):
        return self._proposal("ZPG", request)

    def op_zalozNavrhZDP(self, request):
        return self._proposal("ZDP", request)

    def _proposal(self, kind, request):
        document = request.value("XMLNavrhu")
        record = {"druh": kind, "hashNavrhu": request.value("hashNavrhu"),
                  "dokument": {"velikost": len(document),
                               "sha256": hashlib.sha256(document).hexdigest()},
                  "podpis": None, "prilohy": [], "prijato": False, "duvod": None,
                  "idRizeni": None}
        self.state["proposals"].append(record)
        try:
            pgp = self._accept(kind, request, document, record)
        except Refusal as refusal:
            record["duvod"] = refusal.text
            raise
        record.update(prijato=True, idRizeni=pgp["idRizeniPGP"])
        cislo_podani = "P-%d/%s" % (self._next("podani"), now().year)
        pgp["podani"].append({"druh": kind, "cisloPodani": cislo_podani,
                              "prilohy": record["prilohy"]})
        return [t("rizeni", None, c("idRizeni", pgp["idRizeniPGP"]), c("cisloPodani", cislo_podani),
                  c("createDate", stamp(now())), c("praresKod", pgp["praresKod"]),
                  c("rizeniTyp", pgp["rizeniTyp"]), c("poradoveCislo", pgp["poradoveCislo"]),
                  c("rok", pgp["rok"]))]

    def _accept(self, kind, request, document, record):
        """Checks a proposal and its attachments; returns the PGP proceeding it belongs to."""
        try:
            root = xmltree.parse(document)
        except xmltree.XmlError as e:
            raise Refusal(PROPOSAL_MALFORMED,
                          "XML návrhu není správně utvořený dokument: %s" % e) from None
        if (root.ns, root.name) != (ns.ENX, "enx"):
            raise Refusal(PROPOSAL_MALFORMED,
                          "Kořenem XML návrhu musí být element enx (%s)." % ns.ENX)
        record["podpis"] = signature.verify(document, root, self.trust_cert)
        if record["podpis"]["verdict"] == "invalid" and not self.lenient_signature:
            raise Refusal(SIGNATURE_INVALID, "Elektronický podpis návrhu není platný: %s"
                          % record["podpis"]["detail"])
        names = {}
        listiny = root.child("listiny")
        for listina in (listiny.all("listina") if listiny is not None else []):
            priloha = listina.child("priloha")
            if priloha is not None:
                names[priloha.attrs.get(("", "idPrilohy"), "")] = priloha.attrs.get(
                    ("", "jmenoSouboru"), "")
        for node in request.all("prilohaNavrhu"):
            id_prilohy = node.attrs[("", "idPrilohy")].strip()
            record["prilohy"].append({"idPrilohy": id_prilohy, "nazev": names.get(id_prilohy),
                                      "velikost": len(node.parsed),
                                      "sha256": hashlib.sha256(node.parsed).hexdigest()})
        sent = [a["idPrilohy"] for a in record["prilohy"]]
        for id_prilohy in list(names) + sent:
            if sent.count(id_prilohy) != 1 or id_prilohy not in names:
                raise Refusal(ATTACHMENT_MISMATCH, "Příloha s idPrilohy '%s' neodpovídá listinám "
                              "návrhu: každá listina návrhu musí mít právě jednu přílohu."
                              % id_prilohy)
        return self._zpg(root) if kind == "ZPG" else self._zdp(root)

    def _zpg(self, root):
        """A plan-confirmation proceeding with the areas and ZPMZ numbers of the plan."""
        areas = {}
        katastr = root.child("katastralniUzemi")
        for ku in (katastr.all("ku") if katastr is not None else []):
            kod = ku.child("kod").text.strip() if ku.child("kod") is not None else ""
            nazev = ku.child("nazev").text.strip() if ku.child("nazev") is not None else ""
            areas.setdefault(kod, {"katuzeKod": kod, "katuzeNazev": nazev or content.area_name(kod),
                                   "cislaZPMZ": []})
        listiny = root.child("listiny")
        for listina in (listiny.all("listina") if listiny is not None else []):
            extra = listina.child("doplnkoveUdajeZPMZ")
            if extra is None:
                continue
            kod = extra.child("katuzeKod").text.strip()
            area = areas.setdefault(kod, {"katuzeKod": kod, "katuzeNazev": content.area_name(kod),
                                          "cislaZPMZ": []})
            number = extra.child("cisloZPMZ").text.strip()
            if number not in area["cislaZPMZ"]:
                area["cislaZPMZ"].append(number)
        link = root.child("rizeniPM")
        rizeni_id = link.child("rizeniId") if link is not None else None
        if rizeni_id is not None:
            pm = self._proceeding(rizeni_id.text.strip(), for_change=False)
            for r in pm["zpmz"]:
                area = areas.setdefault(r["katuzeKod"], {
                    "katuzeKod": r["katuzeKod"], "katuzeNazev": content.area_name(r["katuzeKod"]),
                    "cislaZPMZ": []})
                if r["cisloZPMZ"] not in area["cislaZPMZ"]:
                    area["cislaZPMZ"].append(r["cisloZPMZ"])
        return self._new_pgp(now(), "zahájeno", list(areas.values()))

    def _zdp(self, root):
        """Further documents for a plan-confirmation proceeding named by its identification."""
        key = {k: (root.child(k).text.strip() if root.child(k) is not None else "")
               for k in ("rizeniTyp", "poradoveCislo", "rok", "praresKod")}
        for pgp in self.state["pgp"]:
            if all(pgp[k] == v for k, v in key.items()):
                return pgp
        raise Refusal(PGP_UNKNOWN, "Řízení %s-%s/%s-%s neexistuje." % (
            key["rizeniTyp"], key["poradoveCislo"], key["rok"], key["praresKod"]))
