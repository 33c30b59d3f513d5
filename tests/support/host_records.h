#pragma once
// Offsets and widths of the host records the tests lay out byte by byte, written from the
// documented record tables (never from the library's own header), so that a wrong offset in
// the library fails a test. Text fields are {offset, width}; the others are offsets.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "host_memory.h"

namespace vokr::test {

struct Field {
  size_t offset, width;
};

inline Record& set(Record& r, Field f, std::string_view text) { return r.text(f.offset, f.width, text); }
inline std::string text(const Record& r, Field f) { return r.textAt(f.offset, f.width); }

// TConnectInfo
namespace connectInfo {
constexpr size_t kSize = 3747;
constexpr Field url{0, 1025}, userName{1025, 101}, userPassword{1126, 101}, wsdlLocation{1227, 256},
    proxy{1483, 1025}, proxyByPass{2508, 1025}, proxyUserName{3533, 101}, proxyPassword{3634, 101};
constexpr size_t connectTimeout = 3735, sendTimeout = 3739, receiveTimeout = 3743;
} // namespace connectInfo

// TVOKRParams
namespace params {
constexpr size_t kSize = 2055;
constexpr Field tmpPath{0, 1025}, logPath{1025, 1025};
constexpr size_t logLevel = 2050, logUseTimestamp = 2054;
} // namespace params

// TZalozNavrhZPGIn
namespace zpgIn {
constexpr size_t kSize = 2466;
constexpr Field typ{0, 4}, extIdentifikace{4, 101}, pracoviste{105, 4};
constexpr size_t katastralniUzemi = 109, poznamky = 113, parcely = 117, stavby = 121,
                 mapoveListy = 125, uceleZmeny = 129, ucastnici = 133, listiny = 137;
constexpr size_t tail = 141;
constexpr Field rizeniId{142, 31}, cisloRizeni{173, 25};
constexpr size_t zpusobUhrady = 198, zmocneniUhrada = 199;
constexpr Field inkasoPredcisli{200, 7}, inkasoCisloUctu{207, 11}, inkasoKodBanky{218, 5};
constexpr size_t inkasoTypUctu = 223;
constexpr Field zduvodneniOsvobozeni{224, 1001};
constexpr size_t zpusobPrevzeti = 1225, zmocneniPrevzeti = 1226;
constexpr size_t signing = 1238;
} // namespace zpgIn

// TZalozNavrhZDPIn
namespace zdpIn {
constexpr size_t kSize = 1396;
constexpr Field typ{0, 4}, extIdentifikace{4, 101};
constexpr size_t poznamky = 105;
constexpr Field rizeniTyp{109, 4}, poradoveCislo{113, 31}, rok{144, 5}, praresKod{149, 4};
constexpr size_t listiny = 153, signing = 168;
} // namespace zdpIn

// TZalozNavrhZPGOut and TZalozNavrhZDPOut: the proceeding's fields, then the message block.
namespace zpgOut {
constexpr size_t kSize = 166, block = 157;
constexpr Field idRizeni{0, 31}, cisloPodani{31, 25}, createDate{56, 26}, praresKod{82, 4},
    rizeniTyp{86, 4}, poradoveCislo{90, 31}, rok{121, 5}, noveRizeniId{126, 31};
constexpr std::pair<const char*, Field> fields[] = {
    {"idRizeni", idRizeni}, {"cisloPodani", cisloPodani},     {"createDate", createDate},
    {"praresKod", praresKod}, {"rizeniTyp", rizeniTyp},       {"poradoveCislo", poradoveCislo},
    {"rok", rok},           {"noveRizeniId", noveRizeniId}};
} // namespace zpgOut
namespace zdpOut {
constexpr size_t kSize = 65, block = 56;
constexpr Field idRizeni{0, 31}, cisloPodani{31, 25};
} // namespace zdpOut

// TKatastralniUzemiRec
namespace ku {
constexpr size_t kSize = 56;
constexpr Field kod{0, 7}, nazev{7, 49};
} // namespace ku

// TUcastnikRec
namespace ucastnik {
constexpr size_t kSize = 5115;
constexpr Field druh{3, 2}, typ{5, 3}, id{8, 11}, popis{30, 4001}, notifikacniKontakty{4031, 11},
    idDS{4042, 11}, jmeno{4053, 101}, prijmeni{4154, 101}, rodnePrijmeni{4255, 101},
    rc{4356, 11}, datumNarozeni{4367, 11}, titulPred{4378, 25}, titulZa{4403, 11},
    dokladuTyp{4414, 3}, dokladCislo{4417, 10}, obchodniJmeno{4427, 256}, ico{4683, 101},
    doplnekIco{4784, 101}, dic{4885, 101}, jednajiciOsoba{4986, 101};
constexpr size_t adresy = 5087;
constexpr Field predcisli{5091, 7}, cisloUctu{5098, 11}, kodBanky{5109, 5};
constexpr size_t typUctu = 5114;
constexpr Field reserved[] = {{0, 3}, {19, 11}};
} // namespace ucastnik

// TAdresaRec: the fields in their order, each feeding the element of its name.
namespace adresa {
constexpr size_t kSize = 706;
constexpr Field fields[] = {{0, 2},     {2, 101},   {103, 49}, {152, 49}, {201, 49},
                            {250, 49},  {299, 49},  {348, 49}, {397, 2},  {399, 11},
                            {410, 6},   {416, 5},   {421, 34}, {455, 251}};
} // namespace adresa

// TListinaRec
namespace listina {
constexpr size_t kSize = 4363;
constexpr Field typKod{0, 9}, datumVyhotoveni{9, 11}, textCislaJednaciho{20, 61}, stran{81, 3},
    popis{84, 4001}, idPrilohy{4089, 4}, soubor{4094, 256}, katuzeKod{4350, 7},
    cisloZPMZ{4357, 6};
constexpr Field reserved[] = {{4085, 4}, {4093, 1}};
} // namespace listina

} // namespace vokr::test
