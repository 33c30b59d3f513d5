"""ZPMZ and element reservations: numbers handed out in sequence, given back, refusals."""

import unittest

from simharness import SimTestCase, request_text


class ZpmzReservationTest(SimTestCase, unittest.TestCase):
    def test_numbers_run_in_sequence_per_area_and_are_given_back(self):
        id_rizeni = self.sim.new_proceeding()
        first, second = (self.sim.reserve_zpmz(id_rizeni) for _ in range(2))
        self.assertEqual(int(second), int(first) + 1)
        other_area = self.sim.reserve_zpmz(id_rizeni, "610003")
        self.assertEqual(other_area, "501", "each area counts its own numbers")

        self.sim.ok("zrusRezervaciZPMZ", idRizeniPM=id_rizeni, katuzeKod="600001",
                    cisloZPMZ=first)
        detail = self.sim.ok("detailRizeniPM", idRizeniPM=id_rizeni, rezervace="true")
        kept = [(e.findtext("{*}katuzeKod"), e.findtext("{*}cisloZPMZ"))
                for e in detail.findall("t:rezervCislaZPMZList/t:rezervCisloZPMZ")]
        self.assertEqual(kept, [("600001", second), ("610003", other_area)])
        record = next(p for p in self.sim.state()["proceedings"] if p["idRizeni"] == id_rizeni)
        self.assertEqual(record["released"], [{"katuzeKod": "600001", "cisloZPMZ": first}])
        self.assertNotEqual(self.sim.reserve_zpmz(id_rizeni), first, "numbers are not reused")

    def test_refusals(self):
        id_rizeni = self.sim.new_proceeding()
        number = self.sim.reserve_zpmz(id_rizeni)
        self.sim.ok("zrusRezervaciZPMZ", idRizeniPM=id_rizeni, katuzeKod="600001",
                    cisloZPMZ=number)
        cases = [
            ("area outside the proceeding", "vytvorRezervaciZPMZ", {"katuzeKod": "620004"}, "31"),
            ("area that does not exist", "vytvorRezervaciZPMZ", {"katuzeKod": "123456"}, "30"),
            ("number given back already", "zrusRezervaciZPMZ",
             {"katuzeKod": "600001", "cisloZPMZ": number}, "20"),
            ("number never reserved", "zrusRezervaciZPMZ",
             {"katuzeKod": "600001", "cisloZPMZ": "9999"}, "20"),
            ("number reserved in another area", "zrusRezervaciZPMZ",
             {"katuzeKod": "610003", "cisloZPMZ": str(int(number) + 1)}, "20"),
        ]
        for name, operation, values, code in cases:
            with self.subTest(name):
                answer = self.sim.call(operation, idRizeniPM=id_rizeni, **values)
                self.assertEqual(len(answer.messages), 1)
                self.assertEqual(answer.messages[0][:2], (code, "CHYBA"))
                self.assertIsNone(answer.find("t:rezervCisloZPMZ"))


class ElementReservationTest(SimTestCase, unittest.TestCase):
    def setUp(self):
        self.id_rizeni = self.sim.new_proceeding()
        self.zpmz = self.sim.reserve_zpmz(self.id_rizeni)

    def reserve(self):
        answer = self.sim.ok("vytvorRezervaciPrvku", idRizeniPM=self.id_rizeni,
                             cisloZPMZ=self.zpmz)
        return (answer.values("t:rezervParcely/t:kmenoveCislo"),
                answer.values("t:rezervPoddeleni/t:poddeleniCisla"),
                answer.values("t:rezervBodyPBPP/t:cisloPBPP"), answer)

    def test_each_kind_continues_its_own_sequence(self):
        stems, parts, points, answer = self.reserve()
        self.assertEqual(len(stems), 3)
        self.assertEqual([int(n) for n in stems], list(range(int(stems[0]), int(stems[0]) + 3)))
        self.assertEqual(answer.value("t:rezervParcely/t:druhCislovaniPar"), "1")
        self.assertEqual(answer.value("t:rezervPoddeleni/t:kmenoveCislo"), "1234")
        self.assertEqual(answer.value("t:rezervBodyPBPP/t:katuzeKod"), "600001")
        more_stems, more_parts, more_points, _ = self.reserve()
        self.assertEqual(int(more_stems[0]), int(stems[-1]) + 1)
        self.assertEqual([int(n) for n in parts + more_parts],
                         list(range(int(parts[0]), int(parts[0]) + 4)))
        self.assertEqual([int(n) for n in points + more_points],
                         list(range(int(points[0]), int(points[0]) + 10)))

        detail = self.sim.ok("detailRizeniPM", idRizeniPM=self.id_rizeni, rezervace="true")
        groups = detail.findall("t:rezervParCislaList/t:rezervParcely")
        self.assertEqual(len(groups), 1, "one group per ZPMZ number and numbering kind")
        self.assertEqual([e.text for e in groups[0].findall("{*}kmenoveCislo")],
                         stems + more_stems)
        self.assertEqual(detail.values("t:rezervPoddeleniList/t:rezervPoddeleni/t:poddeleniCisla"),
                         parts + more_parts)
        self.assertEqual(detail.values("t:rezervPBPPList/t:rezervBodyPBPP/t:cisloPBPP"),
                         points + more_points)

    def test_cancellation_gives_back_exactly_the_numbers_named(self):
        stems, parts, points, _ = self.reserve()
        numbers = {"kmenoveCislo": stems[1], "poddeleniCislo": parts[0], "cisloPBPP": points[4]}
        self.sim.ok("zrusRezervaciPrvku", idRizeniPM=self.id_rizeni, cisloZPMZ=self.zpmz,
                    **numbers)
        detail = self.sim.ok("detailRizeniPM", idRizeniPM=self.id_rizeni, rezervace="true")
        self.assertEqual(detail.values("t:rezervParCislaList/t:rezervParcely/t:kmenoveCislo"),
                         [stems[0], stems[2]])
        self.assertEqual(detail.values("t:rezervPoddeleniList/t:rezervPoddeleni/t:poddeleniCisla"),
                         parts[1:])
        self.assertEqual(detail.values("t:rezervPBPPList/t:rezervBodyPBPP/t:cisloPBPP"),
                         points[:4])

        # A request naming one number no longer reserved changes nothing at all.
        again = self.sim.call("zrusRezervaciPrvku", idRizeniPM=self.id_rizeni,
                              cisloZPMZ=self.zpmz, **dict(numbers, kmenoveCislo=stems[0]))
        self.assertEqual(again.messages[0][:2], ("21", "CHYBA"))
        self.assertIn(parts[0], again.messages[0][2])
        after = self.sim.ok("detailRizeniPM", idRizeniPM=self.id_rizeni, rezervace="true")
        self.assertEqual(after.values("t:rezervParCislaList/t:rezervParcely/t:kmenoveCislo"),
                         [stems[0], stems[2]])

    def test_zpmz_number_with_stem_reservations_cannot_be_given_back(self):
        self.reserve()
        answer = self.sim.call("zrusRezervaciZPMZ", idRizeniPM=self.id_rizeni,
                               katuzeKod="600001", cisloZPMZ=self.zpmz)
        self.assertEqual(answer.messages[0][:2], ("25", "CHYBA"))

    def test_refusals(self):
        base = request_text("vytvorRezervaciPrvku", idRizeniPM=self.id_rizeni,
                            cisloZPMZ=self.zpmz)
        blocks = base[base.index("      <rezervaceParcela>"):base.index("    </VytvorRezervaci")]
        cases = [
            ("ZPMZ number not reserved in the proceeding",
             [("<cisloZPMZ>%s<" % self.zpmz, "<cisloZPMZ>9999<")], "22"),
            ("count of zero", [("<pocetRezParcel>3<", "<pocetRezParcel>0<")], "23"),
            ("count over the limit", [("<pocetRezPBPP>5<", "<pocetRezPBPP>100<")], "23"),
            ("nothing to reserve", [(blocks, "")], "24"),
        ]
        before = self.sim.state()
        for name, edits, code in cases:
            with self.subTest(name):
                text = base
                for old, new in edits:
                    text = text.replace(old, new)
                answer = self.sim.call("vytvorRezervaciPrvku", text=text)
                self.assertEqual(answer.messages[0][:2], (code, "CHYBA"))
                self.assertIsNone(answer.find("t:rezervParcely"))
        after = self.sim.state()
        for key in ("proceedings", "counters"):
            self.assertEqual(after[key], before[key], "a refusal handed out numbers")


if __name__ == "__main__":
    unittest.main()
