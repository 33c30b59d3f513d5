"""PM proceedings: creation, list, detail, parcel insertion, marking erroneous."""

import unittest

from simharness import COMMON, SimTestCase, request_text

OPERATIONS_ON_A_PROCEEDING = [
    ("vytvorRezervaciZPMZ", {"katuzeKod": "600001"}),
    ("vlozParcelu", {}),
    ("mylneRizeniPM", {}),
    ("exportVF", {}),
    ("generujLVProParcelyPM", {}),
    ("vytvorRezervaciPrvku", {"cisloZPMZ": "501"}),
]


class ProceedingTest(SimTestCase, unittest.TestCase):
    def test_created_proceedings_are_numbered_in_sequence_and_listed(self):
        first = self.sim.ok("zalozRizeniPM")
        second = self.sim.ok("zalozRizeniPM")
        ids = [a.value("t:rizeniPM/t:idRizeni") for a in (first, second)]
        numbers = [int(a.value("t:rizeniPM/t:poradoveCislo")) for a in (first, second)]
        self.assertEqual(int(ids[1]), int(ids[0]) + 1)
        self.assertEqual(numbers[1], numbers[0] + 1)
        year = first.value("t:rizeniPM/t:rok")
        self.assertEqual(first.value("t:rizeniPM/t:cisloRizeni"),
                         "PM-%d/%s-%s" % (numbers[0], year, first.value("t:rizeniPM/t:praresKod")))
        self.assertEqual(first.value("t:rizeniPM/t:rizeniTyp"), "PM")

        listed = self.sim.ok("seznamRizeniPM").findall("t:rizeniPMList/t:rizeniPM")
        by_id = {e.findtext("{*}idRizeniPM"): e for e in listed}
        self.assertLessEqual(set(ids), set(by_id))
        self.assertEqual(by_id[ids[0]].findtext("{*}cisloZakazky"), "Zakázka 17/2026 – Horní Lhota")

    def test_detail_carries_areas_parcels_and_reservations_on_request(self):
        id_rizeni = self.sim.new_proceeding()
        zpmz = self.sim.reserve_zpmz(id_rizeni)
        plain = self.sim.ok("detailRizeniPM", idRizeniPM=id_rizeni, rezervace="false")
        self.assertEqual(plain.value("t:idRizeniPM"), id_rizeni)
        self.assertEqual(plain.values("t:katuzeKodList/c:katuzeKod"), ["600001", "610003"])
        self.assertEqual(plain.values("t:dotceneParcely/c:idParcely"),
                         ["2543187101", "2543188101"])
        self.assertIsNone(plain.find("t:rezervCislaZPMZList"))
        full = self.sim.ok("detailRizeniPM", idRizeniPM=id_rizeni, rezervace="true")
        self.assertEqual(full.values("t:rezervCislaZPMZList/t:rezervCisloZPMZ/t:cisloZPMZ"), [zpmz])
        # Lists with nothing in them are left out, wrapper and all.
        self.assertIsNone(full.find("t:rezervParCislaList"))

    def test_inserted_parcels_join_the_proceeding_and_duplicates_are_warned_of(self):
        id_rizeni = self.sim.new_proceeding()
        answer = self.sim.ok("vlozParcelu", idRizeniPM=id_rizeni)
        self.assertEqual(answer.messages[1][:2], ("13", "VAROVANI"))
        self.assertIn("2543188101", answer.messages[1][2])
        detail = self.sim.ok("detailRizeniPM", idRizeniPM=id_rizeni, rezervace="false")
        self.assertEqual(detail.values("t:dotceneParcely/c:idParcely"),
                         ["2543187101", "2543188101", "2543190101"])

    def test_erroneous_proceeding_is_kept_but_closed_to_changes(self):
        id_rizeni = self.sim.new_proceeding()
        self.sim.ok("mylneRizeniPM", idRizeniPM=id_rizeni)
        record = next(p for p in self.sim.state()["proceedings"] if p["idRizeni"] == id_rizeni)
        self.assertTrue(record["mylne"])
        self.assertEqual(record["duvodMylne"], "Založeno omylem, zakázka je vedena pod jiným řízením.")
        listed = self.sim.ok("seznamRizeniPM").values("t:rizeniPMList/t:rizeniPM/t:idRizeniPM")
        self.assertNotIn(id_rizeni, listed)
        detail = self.sim.ok("detailRizeniPM", idRizeniPM=id_rizeni, rezervace="true")
        self.assertEqual(detail.codes, ["0", "12"])
        for operation, values in OPERATIONS_ON_A_PROCEEDING:
            with self.subTest(operation):
                answer = self.sim.call(operation, idRizeniPM=id_rizeni, **values)
                self.assertEqual(answer.messages[0][:2], ("11", "CHYBA"))

    def test_unknown_proceeding_is_refused_by_every_operation_on_one(self):
        for operation, values in OPERATIONS_ON_A_PROCEEDING + [
                ("detailRizeniPM", {"rezervace": "true"})]:
            with self.subTest(operation):
                answer = self.sim.call(operation, idRizeniPM="99999999", **values)
                self.assertEqual(answer.status, 200)
                self.assertEqual(answer.messages, [
                    ("10", "CHYBA", "Řízení PM s id 99999999 neexistuje.")])

    def test_area_that_does_not_exist_is_refused_at_creation(self):
        before = len(self.sim.state()["proceedings"])
        text = request_text("zalozRizeniPM").replace(
            '<katuzeKod xmlns="%s">610003' % COMMON, '<katuzeKod xmlns="%s">123456' % COMMON)
        answer = self.sim.call("zalozRizeniPM", text=text)
        self.assertEqual(answer.messages, [("30", "CHYBA", "Katastrální území 123456 neexistuje.")])
        self.assertEqual(len(self.sim.state()["proceedings"]), before)

if __name__ == "__main__":
    unittest.main()
