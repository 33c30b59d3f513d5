"""File contents the service hands out: report PDFs, ZPMZ documents, exchange-format files.

Everything here is deterministic: the same inputs give the same bytes, so tests can compare
what a client saved with what the service sent.
"""

import hashlib
import os
import unicodedata

AREA_NAMES = {
    "600001": "Horní Lhota",
    "600002": "Dolní Lhota",
    "610003": "Nová Ves u Brna",
    "620004": "Žďár nad Sázavou",
}


def area_exists(kod):
    return kod[0] in "6789"


def area_name(kod):
    return AREA_NAMES.get(kod, "Katastrální území %s" % kod)


def _ascii(text):
    """PDF base-14 fonts carry no Czech letters: the letters lose their accents."""
    return unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii")


def _pdf_string(text):
    return "(" + _ascii(text).replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def pdf(title, pages):
    """A small valid PDF 1.4: one page per list of text lines, Helvetica, A4."""
    objects = ["<< /Type /Catalog /Pages 2 0 R >>", None,
               "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
               "<< /Title %s /Producer (cadastre-sim) >>" % _pdf_string(title)]
    kids = []
    for lines in pages:
        ops = ["BT", "/F1 16 Tf", "56 780 Td", "%s Tj" % _pdf_string(title), "/F1 11 Tf"]
        for line in lines:
            ops += ["0 -18 Td", "%s Tj" % _pdf_string(line)]
        ops.append("ET")
        stream = "\n".join(ops) + "\n"
        objects.append("<< /Length %d >>\nstream\n%sendstream" % (len(stream), stream))
        content = len(objects)
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents %d 0 R "
                       "/Resources << /Font << /F1 3 0 R >> >> >>" % content)
        kids.append(len(objects))
    objects[1] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (
        " ".join("%d 0 R" % k for k in kids), len(kids))

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body.encode("ascii"))
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R /Info 4 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    return bytes(out)


def report_pdf(report):
    pages = [["Katastralni uzemi a parcela: %s" % parcel,
              "Rizeni: %s" % report["cisloRizeni"],
              "Castecny vypis: %s" % ("ano" if report["castecnyVypis"] == "a" else "ne"),
              "Sestava c. %s, strana %d z %d" % (report["id"], i + 1, len(report["parcely"]))]
             for i, parcel in enumerate(report["parcely"])]
    return pdf("Vypis z katastru nemovitosti (LV)", pages)


def _pseudo_random(seed, size):
    out = bytearray()
    counter = 0
    while len(out) < size:
        out += hashlib.sha256(b"%s:%d" % (seed, counter)).digest()
        counter += 1
    return bytes(out[:size])


def _coordinates(kod, cislo):
    rows = ["Seznam souřadnic, ZPMZ %d, k.ú. %s (%s)" % (cislo, kod, area_name(kod)),
            "číslo bodu;Y;X;kód kvality"]
    for i in range(1, 41):
        h = hashlib.sha256(b"%s:%d:%d" % (kod.encode(), cislo, i)).digest()
        y = 740000 + int.from_bytes(h[:3], "big") % 10000 + h[3] / 100
        x = 1040000 + int.from_bytes(h[4:7], "big") % 10000 + h[7] / 100
        rows.append("%d;%.2f;%.2f;3" % (cislo * 10000 + i, y, x))
    return ("\r\n".join(rows) + "\r\n").encode("utf-8")


def zpmz_documents(kod, cislo, files_dir=None):
    """The documents of one surveying result: [(document id, file name, content source)].

    A content source is bytes, or a path when the files come from a directory."""
    def doc_id(i):
        return "%s%010d%d" % (kod, cislo, i)

    if files_dir:
        names = sorted(n for n in os.listdir(files_dir)
                       if os.path.isfile(os.path.join(files_dir, n)))
        return [(doc_id(i), n, os.path.join(files_dir, n)) for i, n in enumerate(names, 1)]
    seed = b"%s:%d" % (kod.encode(), cislo)
    return [
        (doc_id(1), "ZPMZ_%d_náčrt.pdf" % cislo,
         pdf("Nacrt ZPMZ %d" % cislo, [["Katastralni uzemi %s" % kod, "Meritko 1:500"]])),
        (doc_id(2), "ZPMZ_%d_seznam_souradnic.txt" % cislo, _coordinates(kod, cislo)),
        (doc_id(3), "ZPMZ_%d_zapisnik.dat" % cislo, _pseudo_random(seed, 70001)),
        (doc_id(4), "ZPMZ_%d_poznamky.txt" % cislo, b""),
    ]


def exchange_file(run, created):
    """The exchange-format file of a finished export run, in the run's character set."""
    codepage = "WE8MSWIN1250" if run["charset"] == "CP1250" else "EE8ISO8859P2"
    encoding = "cp1250" if run["charset"] == "CP1250" else "iso8859_2"
    lines = ['&HVERZE;"5.1"',
             '&HVYTVORENO;"%s"' % created.strftime("%d.%m.%Y %H:%M:%S"),
             '&HPUVOD;"ISKN"',
             '&HCODEPAGE;"%s"' % codepage,
             '&HJMENO;"Simulátor katastru, výměnný formát"',
             '&HSKUPINA;%s' % ";".join('"%s"' % g for g in run["skupiny"]),
             '&HRIZENI;%s' % run["idRizeni"],
             '&BPOLYGON;ID N30;SRS T256;BOD N5;Y N12.2;X N12.2']
    rings = [run["polygon"]["exterior"]] + run["polygon"]["interiors"]
    for r, ring in enumerate(rings):
        for i, point in enumerate(ring, 1):
            lines.append('&DPOLYGON;%d;"%s";%d;%s' % (
                r, run["polygon"]["srsName"] or "", i,
                ";".join("%.2f" % c for c in point)))
    lines.append("&K")
    return ("\r\n".join(lines) + "\r\n").encode(encoding)
