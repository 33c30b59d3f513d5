"""A generic SOAP client (Debian's python3-zeep) pointed at ?wsdl works the simulator.

zeep is a Debian package, so it lives under Debian's /usr/bin/python3; under any other
interpreter this test is skipped, unless VOKR_SIM_NEED_ZEEP is set (as the test run sets it).
"""

import os
import unittest

from simharness import ENDPOINT, PASSWORD, USER, SimTestCase

try:
    import requests
    import zeep
    import zeep.exceptions
    from zeep.transports import Transport
    from zeep.wsse.username import UsernameToken
except ImportError:
    if os.environ.get("VOKR_SIM_NEED_ZEEP"):
        raise
    zeep = None


@unittest.skipIf(zeep is None, "needs Debian's python3-zeep: run with /usr/bin/python3")
class ZeepClientTest(SimTestCase, unittest.TestCase):
    def client(self, password=PASSWORD):
        session = requests.Session()
        session.verify = self.sim.cert
        # Neither the machine's CA bundle nor its proxy from the environment: the simulator's
        # own CA, straight to loopback.
        session.trust_env = False
        self.addCleanup(session.close)
        return zeep.Client(self.sim.url + ENDPOINT + "?wsdl", transport=Transport(session=session),
                           wsse=UsernameToken(USER, password))

    def test_reserve_a_zpmz_number_and_give_it_back(self):
        service = self.client().service
        created = service.zalozRizeniPM(cisloZakazky="Zakázka 3/2026",
                                        katuzeKodList={"katuzeKod": ["600001", "610003"]})
        self.assertEqual([z.kod for z in created.vysledek.zprava], [0])
        proceeding = created.rizeniPM.idRizeni

        reserved = service.vytvorRezervaciZPMZ(idRizeniPM=proceeding, katuzeKod="610003")
        self.assertEqual(reserved.vysledek.zprava[0].uroven, "INFORMACE")
        self.assertEqual((reserved.rezervCisloZPMZ.katuzeKod, reserved.rezervCisloZPMZ.cisloZPMZ),
                         ("610003", "501"))

        # An answer of messages only: zeep hands out its one member, the message list.
        messages = service.zrusRezervaciZPMZ(idRizeniPM=proceeding, rezervCisloZPMZ={
            "katuzeKod": "610003", "cisloZPMZ": reserved.rezervCisloZPMZ.cisloZPMZ})
        self.assertEqual([(z.kod, z.uroven) for z in messages], [(0, "INFORMACE")])

        state = self.sim.state()
        self.assertEqual([(c["operation"], c["outcome"]) for c in state["calls"][-3:]],
                         [("zalozRizeniPM", "ok"), ("vytvorRezervaciZPMZ", "ok"),
                          ("zrusRezervaciZPMZ", "ok")])
        held = next(p for p in state["proceedings"] if p["idRizeni"] == proceeding)
        self.assertEqual((held["katuzeKodList"], held["zpmz"], held["released"]),
                         (["600001", "610003"], [],
                          [{"katuzeKod": "610003", "cisloZPMZ": "501"}]))

    def test_refusals_reach_the_client(self):
        """A business refusal is an answer with its message; a wrong password a SOAP fault."""
        answer = self.client().service.vytvorRezervaciZPMZ(idRizeniPM="1", katuzeKod="600001")
        self.assertEqual([(z.kod, z.uroven) for z in answer.vysledek.zprava], [(10, "CHYBA")])
        self.assertIsNone(answer.rezervCisloZPMZ)
        with self.assertRaises(zeep.exceptions.Fault) as caught:
            self.client(password="spatne").service.seznamRizeniPM()
        self.assertEqual(caught.exception.code, "wsse:FailedAuthentication")


if __name__ == "__main__":
    unittest.main()
