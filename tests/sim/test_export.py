"""Exchange-format export: a run per polygon, its state advancing as it is polled."""

import hashlib
import urllib.request
import unittest

from simharness import SimTestCase, request_text

POS = '<pos srsName="urn:ogc:def:crs:EPSG::5514" srsDimension="2">%s</pos>'


class ExportTest(SimTestCase, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.id_rizeni = cls.sim.new_proceeding()

    def start_run(self):
        return self.sim.ok("exportVF", idRizeniPM=self.id_rizeni).value("t:behId")

    def poll(self, beh_id):
        answer = self.sim.ok("exportVFStatus", behId=beh_id)
        items = answer.findall("t:exportVFStatusList/t:exportVFStatus")
        self.assertEqual(len(items), 1)
        return {child.tag.split("}")[1]: child.text for child in items[0]}

    def test_run_advances_with_each_poll_and_ends_with_link_and_hash(self):
        beh_id = self.start_run()
        seen = [self.poll(beh_id) for _ in range(4)]
        self.assertEqual([s["stavBehu"] for s in seen], ["C", "B", "D", "D"])
        for early in seen[:2]:
            self.assertEqual(set(early), {"behId", "stavBehu"})
        self.assertEqual(seen[2], seen[3])
        done = seen[2]
        self.assertEqual(done["behId"], beh_id)
        self.assertEqual(done["linkVF"], "%s/vf/%s.vfk" % (self.sim.url, beh_id))

        with urllib.request.urlopen(done["linkVF"], context=self.sim.tls) as r:
            data = r.read()
        self.assertEqual(hashlib.sha256(data).hexdigest(), done["hashExportu"])
        text = data.decode("cp1250")
        self.assertIn('&HCODEPAGE;"WE8MSWIN1250"', text)
        self.assertIn("Simulátor katastru", text)
        self.assertIn('&HSKUPINA;"NEMO";"VLST"', text)
        self.assertEqual(text.count("&DPOLYGON;0;"), 5)
        self.assertEqual(text.count("&DPOLYGON;1;"), 4)

        run = next(r for r in self.sim.state()["exports"] if r["behId"] == beh_id)
        self.assertEqual(run["polls"], 4)
        self.assertEqual(run["polygon"]["id"], "P1")
        self.assertEqual(run["polygon"]["srsName"], "urn:ogc:def:crs:EPSG::5514")
        self.assertEqual(run["polygon"]["exterior"][1], [-745000.0, -1045200.0])
        self.assertEqual(len(run["polygon"]["interiors"]), 1)
        self.assertEqual(run["charset"], "CP1250")
        self.assertEqual(run["email"], "geodet@example.cz")

    def test_status_without_run_id_lists_every_run(self):
        first, second = self.start_run(), self.start_run()
        answer = self.sim.ok("exportVFStatus_all")
        listed = answer.values("t:exportVFStatusList/t:exportVFStatus/t:behId")
        self.assertLessEqual({first, second}, set(listed))
        self.assertEqual(int(second), int(first) + 1)

    def test_unknown_run(self):
        answer = self.sim.call("exportVFStatus", behId="1")
        self.assertEqual(answer.messages, [("40", "CHYBA", "Běh exportu 1 neexistuje.")])
        self.assertIsNone(answer.find("t:exportVFStatusList"))

    def test_refused_orders(self):
        cases = [
            ("ring not closed", [("-1045200.00</pos>\r\n          </gml:LinearRing>\r\n"
                                  "        </gml:exterior>",
                                  "-1045150.00</pos>\r\n          </gml:LinearRing>\r\n"
                                  "        </gml:exterior>")], "42"),
            ("position with three coordinates", [(POS % "-745000.00 -1045100.00",
                                                  POS % "-745000.00 -1045100.00 310.5")], "43"),
            ("no data group", [("<skNemo>true<", "<skNemo>false<"),
                               ("<skVlst>true<", "<skVlst>false<")], "41"),
        ]
        before = len(self.sim.state()["exports"])
        for name, edits, code in cases:
            with self.subTest(name):
                text = request_text("exportVF", idRizeniPM=self.id_rizeni)
                for old, new in edits:
                    self.assertIn(old, text)
                    text = text.replace(old, new)
                answer = self.sim.call("exportVF", text=text)
                self.assertEqual(answer.messages[0][:2], (code, "CHYBA"))
                self.assertIsNone(answer.find("t:behId"))
        self.assertEqual(len(self.sim.state()["exports"]), before)


if __name__ == "__main__":
    unittest.main()
