"""Requests that miss the service's schema get an ordinary answer whose message names the fault.

Most cases are the request as the plug-in's serializer writes it before its textual fix-ups,
which the real service refuses in just this way.
"""

import unittest

from simharness import COMMON, TYPES, SimTestCase, request_text, wrap76

GML = "http://www.opengis.net/gml/3.2"
BASE = "http://katastr.cuzk.cz/baseTypes/v2.9"
POS = '<pos srsName="urn:ogc:def:crs:EPSG::5514" srsDimension="2">%s</pos>'


class SchemaTest(SimTestCase, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.id_rizeni = cls.sim.new_proceeding()

    def values(self):
        return {"idRizeniPM": self.id_rizeni, "katuzeKod": "600001", "rezervace": "true",
                "XMLNavrhu": wrap76(b"<enx/>"), "priloha1": wrap76(b"%PDF-1.4"),
                "priloha2": wrap76(b"PK")}

    def test_misplaced_and_malformed_elements_are_named_in_the_refusal(self):
        ct = ' xmlns="%s"' % COMMON
        cases = [
            ("area code items left in the types namespace", "zalozRizeniPM",
             [('<katuzeKod%s>600001' % ct, "<katuzeKod>600001")],
             ['{"%s":katuzeKod}' % TYPES, '"%s":katuzeKod' % COMMON]),
            ("parcel items left in the types namespace", "zalozRizeniPM",
             [('<idParcely%s>2543188101' % ct, "<idParcely>2543188101")],
             ['{"%s":idParcely}' % TYPES, '"%s":idParcely' % COMMON]),
            ("empty area code", "zalozRizeniPM",
             [('<katuzeKod%s>610003</katuzeKod>' % ct, '<katuzeKod%s/>' % ct)],
             ["Value '' is not facet-valid", "of element 'katuzeKod' is not valid"]),
            ("parcel items without the v21 prefix", "vlozParcelu",
             [("v21:idParcely", "idParcely")],
             ['{"%s":idParcely}' % TYPES, '"%s":idParcely' % COMMON]),
            ("an empty parcel item that no rewriting reaches", "vlozParcelu",
             [("<v21:idParcely>2543190101</v21:idParcely>", "<idParcely/>")],
             ['{"%s":idParcely}' % TYPES]),
            ("polygon id not in the GML namespace", "exportVF", [(" gml:id=", " id=")],
             ["Attribute 'id' is not allowed to appear in element 'gml:Polygon'"]),
            ("ring still named after the abstract element", "exportVF",
             [("gml:LinearRing>", "AbstractRing>")],
             ["{abstract} in the element declaration for 'gml:AbstractRing'"]),
            ("polygon in the types namespace", "exportVF",
             [('<gml:Polygon xmlns="%s"' % GML, "<Polygon"), ("</gml:Polygon>", "</Polygon>")],
             ['{"%s":Polygon}' % TYPES, '"%s":Polygon' % GML]),
            ("ring of three positions", "exportVF",
             [(POS % "-745000.00 -1045200.00", ""), (POS % "-745000.00 -1045100.00", "")],
             ["The content of element 'gml:LinearRing' is not complete",
              "'{\"%s\":pos, \"%s\":posList}'" % (GML, GML)]),
            ("attachment id still qualified", "zalozNavrhZPG",
             [('<prilohaNavrhu idPrilohy="1"', '<prilohaNavrhu NS2:idPrilohy="1"')],
             ["Attribute '%s:idPrilohy' is not allowed" % BASE]),
            ("attachment without id", "zalozNavrhZPG", [(' idPrilohy="2"', "")],
             ["Attribute 'idPrilohy' must appear on element 'prilohaNavrhu'"]),
            ("Boolean written as a word", "detailRizeniPM",
             [("<rezervace>true<", "<rezervace>ano<")],
             ["Value 'ano' is not facet-valid", "element 'rezervace'"]),
            ("required element left out", "vytvorRezervaciZPMZ",
             [("<katuzeKod>600001</katuzeKod>", "")],
             ["The content of element 'VytvorRezervaciZPMZRequest' is not complete",
              '"%s":katuzeKod' % TYPES]),
            ("elements out of order", "generujLVProParcelyPM",
             [("<castecnyVypis>n</castecnyVypis>", ""),
              ("<seznamParcel>2543187101", "<castecnyVypis>n</castecnyVypis><seznamParcel>"
                                           "2543187101")],
             ['{"%s":castecnyVypis}' % TYPES, '"%s":seznamParcel' % TYPES]),
            ("parcel left nil for an empty host entry", "generujLVProParcelyPM",
             [("<seznamParcel>2543188101</seznamParcel>", '<seznamParcel xsi:nil="true"/>')],
             ["{nillable} property of 'seznamParcel' is false"]),
            ("unknown element", "mylneRizeniPM",
             [("<popis>", "<duvod>x</duvod><popis>")],
             ['{"%s":duvod}' % TYPES]),
        ]
        before = self.sim.state()
        for name, operation, edits, fragments in cases:
            with self.subTest(name):
                text = request_text(operation, **self.values())
                for old, new in edits:
                    self.assertIn(old, text)
                    text = text.replace(old, new)
                answer = self.sim.call(operation, text=text)
                self.assertEqual(answer.status, 200)
                self.assertEqual(answer.messages[0][:2], ("1", "CHYBA"))
                self.assertEqual(len(answer.messages), 1)
                for fragment in fragments:
                    self.assertIn(fragment, answer.messages[0][2])
                self.assertEqual(self.sim.state()["calls"][-1]["outcome"], "refused")
        after = self.sim.state()
        for key in ("proceedings", "exports", "reports", "proposals"):
            self.assertEqual(after[key], before[key], key)

    def test_requests_as_sent_pass_the_check(self):
        for operation in ("zalozRizeniPM", "vlozParcelu", "detailRizeniPM", "exportVF",
                          "generujLVProParcelyPM", "mylneRizeniPM"):
            with self.subTest(operation):
                answer = self.sim.call(operation, **self.values())
                self.assertEqual(answer.codes, ["0"] if operation != "vlozParcelu" else
                                 ["0", "13"], answer.text)


if __name__ == "__main__":
    unittest.main()
