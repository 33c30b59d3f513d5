/*
 * VOKR plug-in: the cadastre geometric-plan service (version 2.9) for Pelk host applications.
 *
 * The host ABI is 32-bit x86. Every export is stdcall except the three ListSizes exports
 * marked VOKR_REGISTER, which take their one argument in EAX. Records are packed; text fields
 * are 8-bit text in the process code page whose width counts the terminating zero byte.
 * A host list is a 32-bit pointer to the first entry, the signed 32-bit entry count standing
 * in the four bytes before it; 0 means no entries.
 */
#ifndef VOKR_H
#define VOKR_H

#include <stdint.h>

#if defined(__i386__)
#define VOKR_STDCALL __attribute__((stdcall))
#define VOKR_REGISTER __attribute__((regparm(1)))
#else
#define VOKR_STDCALL
#define VOKR_REGISTER
#endif

#ifdef __cplusplus
#define VOKR_EXTERN_C extern "C"
#else
#define VOKR_EXTERN_C
#endif
#define VOKR_API VOKR_EXTERN_C __attribute__((visibility("default")))

#ifdef __cplusplus
#define VOKR_ASSERT_SIZE(T, n) static_assert(sizeof(T) == n, #T)
#else
#define VOKR_ASSERT_SIZE(T, n) _Static_assert(sizeof(T) == n, #T)
#endif

/* A pointer stored inside a host record: 32 bits wide in every build. */
typedef uint32_t THostPtr;
/* Days since 1899-12-30 00:00, local time, the time of day as fraction. */
typedef double THostDateTime;

#pragma pack(push, 1)

/* Server messages of a held response, as copied by every get export. */
typedef struct THostMessageRec {
  char kod[11];    /* message code, decimal text as the service sent it */
  uint8_t uroven;  /* 0 INFORMACE, 1 VAROVANI, 2 CHYBA */
  char text[4001];
} THostMessageRec;

typedef struct THostMessageBlock {
  uint8_t success;     /* a copied message has code "0" */
  uint8_t information; /* a copied message with another code has level INFORMACE */
  uint8_t warning;     /* ... level VAROVANI */
  uint8_t error;       /* ... level CHYBA */
  uint8_t callFailure; /* a copied message is CHYBA with code "1000": the call itself failed */
  THostPtr messages;   /* host list of THostMessageRec */
} THostMessageBlock;

typedef struct TConnectInfo {
  char URL[1025]; /* the endpoint is URL followed by "/ws/geo/2.9/geo" */
  char UserName[101];
  char UserPassword[101];
  char WSDLLocation[256]; /* kept and handed back only */
  char Proxy[1025];       /* host:port; empty: direct connection */
  char ProxyByPass[1025];
  char ProxyUserName[101];
  char ProxyPassword[101];
  int32_t ConnectTimeout; /* milliseconds; 0 or less: transport default */
  int32_t SendTimeout;
  int32_t ReceiveTimeout;
} TConnectInfo;

typedef struct TVOKR_HostParams {
  char TmpPath[1025];
  char LogPath[1025];
  int32_t LogLevel;        /* above 0: requests and responses are dumped into LogPath */
  uint8_t LogUseTimestamp; /* non-zero: dump names carry a timestamp */
} TVOKR_HostParams;

#pragma pack(pop)

VOKR_ASSERT_SIZE(THostMessageRec, 4013);
VOKR_ASSERT_SIZE(THostMessageBlock, 9);
VOKR_ASSERT_SIZE(TConnectInfo, 3747);
VOKR_ASSERT_SIZE(TVOKR_HostParams, 2055);

/* Identification. Length-prefixed texts: first byte the length, then the characters. */
VOKR_API void VOKR_STDCALL GetPelkPluginName(uint8_t *text, int32_t capacity);
VOKR_API void VOKR_STDCALL GetPelkPluginVersion(uint8_t *text, int32_t capacity);
VOKR_API void VOKR_STDCALL GetPelkPluginInfo(uint8_t *text, int32_t capacity);
VOKR_API void VOKR_STDCALL GetVOKRVersion(char *text, int32_t high);

/* Connection settings and working parameters. */
VOKR_API void VOKR_STDCALL SetConnectInfo(const TConnectInfo *info);
VOKR_API void VOKR_STDCALL GetConnectInfo(TConnectInfo *info);
VOKR_API void VOKR_STDCALL ClearConnectInfo(void);
VOKR_API void VOKR_STDCALL SetVOKRParams(const TVOKR_HostParams *params);
VOKR_API void VOKR_STDCALL GetVOKRParams(TVOKR_HostParams *params);

/*
 * Operation families. Each follows one cycle: load<Op> sends the request and holds the
 * answer (a failed call is held as one CHYBA message with code "1000", and "0" is written into
 * the result text); get<Op>_ListSizes reports the list counts (-1 for an empty list); the host
 * allocates its lists; get<Op> copies messages and results; free<Op> releases the answer.
 * An error before the call (host data that cannot be sent, a file that cannot be read) is held
 * the same way with code "1001"; nothing is sent then.
 */

/* --- ZPMZ number reservations: VytvorRezervaciZPMZ, ZrusRezervaciZPMZ --- */
#pragma pack(push, 1)
typedef struct TVytvorRezervaciZPMZIn {
  char idRizeniPM[31]; /* the PM proceeding */
  char katuzeKod[7];   /* cadastral area in which a number is wanted */
} TVytvorRezervaciZPMZIn;

typedef struct TZrusRezervaciZPMZIn {
  char idRizeniPM[31];
  char katuzeKod[7];
  char cisloZPMZ[6]; /* the reserved number to give back */
} TZrusRezervaciZPMZIn;

typedef struct TVytvorRezervaciZPMZOut {
  THostMessageBlock zpravy;
  char katuzeKod[7];
  char cisloZPMZ[6]; /* the reserved number */
} TVytvorRezervaciZPMZOut;

/* The counts record of families whose only list is the server messages. */
typedef struct TMessageCounts {
  int32_t MessageCount;
} TMessageCounts;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TVytvorRezervaciZPMZIn, 38);
VOKR_ASSERT_SIZE(TZrusRezervaciZPMZIn, 44);
VOKR_ASSERT_SIZE(TVytvorRezervaciZPMZOut, 22);
VOKR_ASSERT_SIZE(TMessageCounts, 4);

VOKR_API void VOKR_STDCALL loadVytvorRezervaciZPMZ(const TVytvorRezervaciZPMZIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getVytvorRezervaciZPMZ(char *ignored, int32_t high, TVytvorRezervaciZPMZOut *out);
VOKR_API void VOKR_STDCALL getVytvorRezervaciZPMZ_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeVytvorRezervaciZPMZ(char *ignored, int32_t high);
VOKR_API void VOKR_STDCALL loadZrusRezervaciZPMZ(const TZrusRezervaciZPMZIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getZrusRezervaciZPMZ(char *ignored, int32_t high, THostMessageBlock *out);
VOKR_API void VOKR_STDCALL getZrusRezervaciZPMZ_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeZrusRezervaciZPMZ(char *ignored, int32_t high);

/* The signing block of the proposal input records: 1228 bytes handed unread to the signing
 * library. For the signing library shipped with the plug-in (libPelkSigner.so) it is:
 *   offset 0,    1025 bytes: path of a PEM file holding the private key and its certificate,
 *                            or of a PKCS#12 file (host text field);
 *   offset 1025,  101 bytes: the key's password, empty for none (host text field);
 *   offset 1126,  102 bytes: reserved, zero. */

/* Proposal input records (ZalozNavrhZPG, ZalozNavrhZDP): what the inner proposal document is
 * built from. Boolean bytes are written "a" when non-zero, "n" when zero. */
typedef uint8_t TZpusobUhrady;   /* 0 "H" cash, 1 "I" direct debit, 2 "K" duty stamp,
                                    3 "O" exemption, 4 "U" transfer from an account */
typedef uint8_t TZpusobPrevzeti; /* 0 "OSOBNE" in person, 1 "DS" data box, 2 "EMAIL" */
typedef uint8_t TTypBankUctu;    /* 0 "B" current account, 1 "I" direct-debit account */

#pragma pack(push, 1)

typedef struct TKatastralniUzemiRec {
  char kod[7];
  char nazev[49];
} TKatastralniUzemiRec;

typedef struct TAdresaRec {
  char adresaTyp[2];
  char statNazev[101];
  char okresNazev[49];
  char obecNazev[49];
  char castObceNazev[49];
  char mestskaCastNazev[49];
  char mestskyObvodNazev[49];
  char ulice[49];
  char cpCe[2];
  char cisloDomovni[11];
  char psc[6];
  char cisloOrientacni[5];
  char telefon[34];
  char email[251];
} TAdresaRec;

typedef struct TUcastnikRec {
  uint8_t reserved0[3];
  char ucastnikDruh[2];
  char ucastnikTyp[3];
  char id[11];
  uint8_t reserved1[11];
  char popis[4001];
  char notifikacniKontakty[11];
  char idDS[11];
  char jmeno[101];
  char prijmeni[101]; /* empty: the participant is a legal person */
  char rodnePrijmeni[101];
  char rc[11];
  char datumNarozeni[11];
  char titulPredJmenem[25];
  char titulZaJmenem[11];
  char dokladuTyp[3];
  char dokladCislo[10];
  char obchodniJmeno[256];
  char ico[101];
  char doplnekIco[101];
  char dic[101];
  char jednajiciOsoba[101];
  THostPtr adresy; /* host list of TAdresaRec */
  char predcisli[7]; /* bank account, written only when cisloUctu is not empty */
  char cisloUctu[11];
  char kodBanky[5];
  TTypBankUctu typUctu;
} TUcastnikRec;

typedef struct TListinaRec {
  char typKod[9];
  char datumVyhotoveni[11];
  char textCislaJednaciho[61];
  char stran[3];
  char popis[4001];
  uint8_t reserved0[4];
  char idPrilohy[4];
  uint8_t reserved1[1];
  char souborPrilohy[256]; /* full path of the attachment file, sent with the proposal */
  char katuzeKod[7];       /* empty: no doplnkoveUdajeZPMZ */
  char cisloZPMZ[6];
} TListinaRec;

typedef struct TZalozNavrhZPGIn {
  char typ[4];
  char extIdentifikace[101];
  char pracovisteKod[4];
  THostPtr katastralniUzemi; /* host list of TKatastralniUzemiRec */
  THostPtr poznamky;         /* host list of char[4001] */
  THostPtr parcely;          /* host list of char[31], parcel identifiers */
  THostPtr stavby;           /* host list of char[31], building identifiers */
  THostPtr mapoveListy;      /* host list of char[101] */
  THostPtr uceleZmeny;       /* host list of char[4] */
  THostPtr ucastnici;        /* host list of TUcastnikRec */
  THostPtr listiny;          /* host list of TListinaRec */
  uint8_t zaverPritomen;     /* Boolean: the fields up to zmocneniPrevzeti are read */
  char rizeniId[31];         /* preferred over cisloRizeni when both are given */
  char cisloRizeni[25];
  TZpusobUhrady zpusobUhrady;
  uint8_t zmocneniUhrada;    /* Boolean: the plan's maker is authorised (fee) */
  char inkasoPredcisli[7];   /* direct debit, read only for zpusobUhrady 1 */
  char inkasoCisloUctu[11];
  char inkasoKodBanky[5];
  TTypBankUctu inkasoTypUctu;
  char zduvodneniOsvobozeni[1001]; /* read only for zpusobUhrady 3 */
  TZpusobPrevzeti zpusobPrevzeti;
  uint8_t zmocneniPrevzeti;  /* Boolean: the plan's maker is authorised (taking over) */
  uint8_t reserved[11];
  uint8_t signingBlock[1228]; /* the signing block, see above */
} TZalozNavrhZPGIn;

typedef struct TZalozNavrhZDPIn {
  char typ[4];
  char extIdentifikace[101];
  THostPtr poznamky; /* host list of char[4001] */
  char rizeniTyp[4];  /* the proceeding the proposal belongs to */
  char poradoveCislo[31];
  char rok[5];
  char praresKod[4];
  THostPtr listiny;   /* host list of TListinaRec */
  uint8_t reserved[11];
  uint8_t signingBlock[1228]; /* the signing block, see above */
} TZalozNavrhZDPIn;

#pragma pack(pop)

VOKR_ASSERT_SIZE(TKatastralniUzemiRec, 56);
VOKR_ASSERT_SIZE(TAdresaRec, 706);
VOKR_ASSERT_SIZE(TUcastnikRec, 5115);
VOKR_ASSERT_SIZE(TListinaRec, 4363);
VOKR_ASSERT_SIZE(TZalozNavrhZPGIn, 2466);
VOKR_ASSERT_SIZE(TZalozNavrhZDPIn, 1396);

/* --- Proposal submission: ZalozNavrhZPG, ZalozNavrhZDP ---
 * These two families have no result text and take no ignored arguments. load builds the inner
 * document from the input record above, has the signing library sign it and sends it with the
 * files named in its document list (each must be readable, or nothing is sent). A signing
 * failure is held as one CHYBA message whose code is the signing status. */
#pragma pack(push, 1)
typedef struct TZalozNavrhZPGOut {
  char idRizeni[31];
  char cisloPodani[25];
  char createDate[26]; /* local date and time in the regional short forms; date alone at midnight */
  char praresKod[4];
  char rizeniTyp[4];
  char poradoveCislo[31];
  char rok[5];
  char noveRizeniId[31];
  THostMessageBlock zpravy;
} TZalozNavrhZPGOut;

typedef struct TZalozNavrhZDPOut {
  char idRizeni[31];
  char cisloPodani[25];
  THostMessageBlock zpravy;
} TZalozNavrhZDPOut;

/* Counts record of both families: only the second slot is written. */
typedef struct TZalozNavrhCounts {
  int32_t unused;
  int32_t MessageCount;
} TZalozNavrhCounts;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TZalozNavrhZPGOut, 166);
VOKR_ASSERT_SIZE(TZalozNavrhZDPOut, 65);
VOKR_ASSERT_SIZE(TZalozNavrhCounts, 8);

VOKR_API void VOKR_STDCALL loadZalozNavrhZPG(const TZalozNavrhZPGIn *in);
VOKR_API void VOKR_STDCALL getZalozNavrhZPG(TZalozNavrhZPGOut *out);
VOKR_API void VOKR_STDCALL getZalozNavrhZPG_ListSizes(TZalozNavrhCounts *counts);
VOKR_API void VOKR_STDCALL freeZalozNavrhZPG(void);
VOKR_API void VOKR_STDCALL loadZalozNavrhZDP(const TZalozNavrhZDPIn *in);
VOKR_API void VOKR_STDCALL getZalozNavrhZDP(TZalozNavrhZDPOut *out);
VOKR_API void VOKR_STDCALL getZalozNavrhZDP_ListSizes(TZalozNavrhCounts *counts);
VOKR_API void VOKR_STDCALL freeZalozNavrhZDP(void);

/* --- PM proceedings: ZalozRizeniPM, DetailRizeniPM, SeznamRizeniPM, MylneRizeniPM,
 *     VlozParceluPM --- */
#pragma pack(push, 1)
typedef struct TZalozRizeniPMIn {
  char cisloZakazky[101];  /* the surveyor's job number */
  THostPtr katuzeKodList;  /* host list of char[7], cadastral area codes */
  THostPtr dotceneParcely; /* host list of char[31], parcel identifiers */
} TZalozRizeniPMIn;

typedef struct TZalozRizeniPMOut {
  THostMessageBlock zpravy;
  char idRizeni[31]; /* the new proceeding */
  char cisloRizeni[25];
  char praresKod[4];
  char rizeniTyp[4];
  char poradoveCislo[31];
  char rok[5];
} TZalozRizeniPMOut;

typedef struct TDetailRizeniPMIn {
  char idRizeniPM[31];
  uint8_t rezervace; /* Boolean: non-zero asks for the proceeding's reservations too */
} TDetailRizeniPMIn;

/* The reservation blocks: entries of the proceeding detail's lists, the numbers an element
 * reservation returns, and the numbers a cancellation gives back. */
typedef struct TRezervCisloZPMZRec {
  char katuzeKod[7];
  char cisloZPMZ[6];
} TRezervCisloZPMZRec;

typedef struct TRezervParcelyRec {
  char katuzeKod[7];
  char cisloZPMZ[6];
  uint8_t druhCislovaniPar; /* parcel numbering kind: 0 or 1 */
  THostPtr kmenoveCislo;    /* host list of char[6], stem numbers */
} TRezervParcelyRec;

typedef struct TRezervPoddeleniRec {
  char katuzeKod[7];
  char cisloZPMZ[6];
  uint8_t druhCislovaniPar;
  char kmenoveCislo[6];    /* the subdivided stem number */
  THostPtr poddeleniCisla; /* host list of char[4], subdivision numbers */
} TRezervPoddeleniRec;

typedef struct TRezervBodyPBPPRec {
  char katuzeKod[7];
  THostPtr cisloPBPP; /* host list of char[4], survey point numbers */
} TRezervBodyPBPPRec;

typedef struct TDetailRizeniPMOut {
  THostMessageBlock zpravy;
  char idRizeniPM[31];
  char cisloRizeni[25];
  char cisloZakazky[101];
  THostPtr katuzeKodList;       /* host list of char[7] */
  THostPtr dotceneParcely;      /* host list of char[31] */
  THostPtr rezervCislaZPMZList; /* host list of TRezervCisloZPMZRec */
  THostPtr rezervParCislaList;  /* host list of TRezervParcelyRec */
  THostPtr rezervPoddeleniList; /* host list of TRezervPoddeleniRec */
  THostPtr rezervPBPPList;      /* host list of TRezervBodyPBPPRec */
} TDetailRizeniPMOut;

typedef struct TDetailRizeniPMSizes {
  int32_t MessageCount;
  int32_t katuzeKodList;
  int32_t dotceneParcely;
  int32_t rezervCislaZPMZList;
  int32_t rezervParCislaList;
  int32_t rezervPoddeleniList;
  int32_t rezervPBPPList;
} TDetailRizeniPMSizes;

typedef struct TRizeniPMRec {
  char idRizeniPM[31];
  char cisloRizeni[25];
  char cisloZakazky[101];
} TRizeniPMRec;

typedef struct TSeznamRizeniPMOut {
  THostMessageBlock zpravy;
  THostPtr rizeniPMList; /* host list of TRizeniPMRec */
} TSeznamRizeniPMOut;

typedef struct TSeznamRizeniPMSizes {
  int32_t MessageCount;
  int32_t rizeniPMList;
} TSeznamRizeniPMSizes;

typedef struct TMylneRizeniPMIn {
  char idRizeniPM[31];
  char popis[61]; /* the reason; empty: none is sent */
} TMylneRizeniPMIn;

typedef struct TVlozParceluPMIn {
  char idRizeniPM[31];
  THostPtr dotceneParcely; /* host list of char[31], parcel identifiers */
} TVlozParceluPMIn;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TZalozRizeniPMIn, 109);
VOKR_ASSERT_SIZE(TZalozRizeniPMOut, 109);
VOKR_ASSERT_SIZE(TDetailRizeniPMIn, 32);
VOKR_ASSERT_SIZE(TRezervCisloZPMZRec, 13);
VOKR_ASSERT_SIZE(TRezervParcelyRec, 18);
VOKR_ASSERT_SIZE(TRezervPoddeleniRec, 24);
VOKR_ASSERT_SIZE(TRezervBodyPBPPRec, 11);
VOKR_ASSERT_SIZE(TDetailRizeniPMOut, 190);
VOKR_ASSERT_SIZE(TDetailRizeniPMSizes, 28);
VOKR_ASSERT_SIZE(TRizeniPMRec, 157);
VOKR_ASSERT_SIZE(TSeznamRizeniPMOut, 13);
VOKR_ASSERT_SIZE(TSeznamRizeniPMSizes, 8);
VOKR_ASSERT_SIZE(TMylneRizeniPMIn, 92);
VOKR_ASSERT_SIZE(TVlozParceluPMIn, 35);

VOKR_API void VOKR_STDCALL loadZalozRizeniPM(const TZalozRizeniPMIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getZalozRizeniPM(char *ignored, int32_t high, TZalozRizeniPMOut *out);
VOKR_API void VOKR_STDCALL getZalozRizeniPM_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeZalozRizeniPM(char *ignored, int32_t high);

/* The host sizes the nested list of reservation entry `index` by the matching ItemSize export
 * (-1: no numbers) and stores its pointer in the entry before calling getDetailRizeniPM. */
VOKR_API void VOKR_STDCALL loadDetailRizeniPM(const TDetailRizeniPMIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getDetailRizeniPM(char *ignored, int32_t high, TDetailRizeniPMOut *out);
VOKR_API void VOKR_STDCALL getDetailRizeniPM_ListSizes(char *ignored, int32_t high, TDetailRizeniPMSizes *counts);
VOKR_API int32_t VOKR_STDCALL getDetailRizeniPM_RezervParCislaListItemSize(char *ignored, int32_t high, int32_t index);
VOKR_API int32_t VOKR_STDCALL getDetailRizeniPM_RezervPoddeleniListItemSize(char *ignored, int32_t high, int32_t index);
VOKR_API int32_t VOKR_STDCALL getDetailRizeniPM_RezervPBPPListItemSize(char *ignored, int32_t high, int32_t index);
VOKR_API void VOKR_STDCALL freeDetailRizeniPM(char *ignored, int32_t high);

VOKR_API void VOKR_STDCALL loadSeznamRizeniPM(char *result, int32_t high);
VOKR_API void VOKR_STDCALL getSeznamRizeniPM(char *ignored, int32_t high, TSeznamRizeniPMOut *out);
VOKR_API void VOKR_STDCALL getSeznamRizeniPM_ListSizes(char *ignored, int32_t high, TSeznamRizeniPMSizes *counts);
VOKR_API void VOKR_STDCALL freeSeznamRizeniPM(char *ignored, int32_t high);

VOKR_API void VOKR_STDCALL loadMylneRizeniPM(const TMylneRizeniPMIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getMylneRizeniPM(char *ignored, int32_t high, THostMessageBlock *out);
VOKR_API void VOKR_STDCALL getMylneRizeniPM_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeMylneRizeniPM(char *ignored, int32_t high);

VOKR_API void VOKR_STDCALL loadVlozParceluPM(const TVlozParceluPMIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getVlozParceluPM(char *ignored, int32_t high, THostMessageBlock *out);
VOKR_API void VOKR_STDCALL getVlozParceluPM_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeVlozParceluPM(char *ignored, int32_t high);

/* --- Element reservations: VytvorRezervaciPrvku, ZrusRezervaciPrvku --- */
#pragma pack(push, 1)
/* A block is sent only when its Present byte is non-zero. */
typedef struct TRezervaceParcelIn {
  char cisloZPMZ[6];
  uint8_t druhCislovaniPar; /* 0 or 1; any other value is refused before sending */
  char pocetRezParcel[6];   /* how many stem numbers */
  uint8_t Present;
} TRezervaceParcelIn;

typedef struct TRezervacePoddeleniIn {
  char cisloZPMZ[6];
  uint8_t druhCislovaniPar;
  char kmenoveCislo[6];      /* the stem number to subdivide */
  char pocetRezPoddeleni[6]; /* how many subdivision numbers */
  uint8_t Present;
} TRezervacePoddeleniIn;

typedef struct TRezervacePBPPIn {
  char pocetRezPBPP[6]; /* how many survey point numbers */
  uint8_t Present;
} TRezervacePBPPIn;

typedef struct TVytvorRezervaciPrvkuIn {
  char idRizeniPM[31];
  char katuzeKod[7];
  TRezervaceParcelIn rezervaceParcela;
  TRezervacePoddeleniIn rezervacePoddeleni;
  TRezervacePBPPIn rezervacePBPP;
} TVytvorRezervaciPrvkuIn;

/* A block the answer does not carry is left as the host set it. */
typedef struct TVytvorRezervaciPrvkuOut {
  THostMessageBlock zpravy;
  TRezervParcelyRec rezervParcely;
  TRezervPoddeleniRec rezervPoddeleni;
  TRezervBodyPBPPRec rezervBodyPBPP;
} TVytvorRezervaciPrvkuOut;

/* Number-list slots: the count, -1 for a block with no numbers, 0 for a block not returned. */
typedef struct TVytvorRezervaciPrvkuSizes {
  int32_t MessageCount;
  int32_t kmenoveCislo;
  int32_t poddeleniCisla;
  int32_t cisloPBPP;
} TVytvorRezervaciPrvkuSizes;

typedef struct TZrusRezervaciPrvkuIn {
  char idRizeniPM[31];
  TRezervParcelyRec rezervParcely;
  uint8_t rezervParcelyPresent;
  TRezervPoddeleniRec rezervPoddeleni;
  uint8_t rezervPoddeleniPresent;
  TRezervBodyPBPPRec rezervBodyPBPP;
  uint8_t rezervBodyPBPPPresent;
} TZrusRezervaciPrvkuIn;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TRezervaceParcelIn, 14);
VOKR_ASSERT_SIZE(TRezervacePoddeleniIn, 20);
VOKR_ASSERT_SIZE(TRezervacePBPPIn, 7);
VOKR_ASSERT_SIZE(TVytvorRezervaciPrvkuIn, 79);
VOKR_ASSERT_SIZE(TVytvorRezervaciPrvkuOut, 62);
VOKR_ASSERT_SIZE(TVytvorRezervaciPrvkuSizes, 16);
VOKR_ASSERT_SIZE(TZrusRezervaciPrvkuIn, 87);

VOKR_API void VOKR_STDCALL loadVytvorRezervaciPrvku(const TVytvorRezervaciPrvkuIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getVytvorRezervaciPrvku(char *ignored, int32_t high, TVytvorRezervaciPrvkuOut *out);
VOKR_API void VOKR_STDCALL getVytvorRezervaciPrvku_ListSizes(char *ignored, int32_t high, TVytvorRezervaciPrvkuSizes *counts);
VOKR_API void VOKR_STDCALL freeVytvorRezervaciPrvku(char *ignored, int32_t high);
VOKR_API void VOKR_STDCALL loadZrusRezervaciPrvku(const TZrusRezervaciPrvkuIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getZrusRezervaciPrvku(char *ignored, int32_t high, THostMessageBlock *out);
VOKR_API void VOKR_STDCALL getZrusRezervaciPrvku_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeZrusRezervaciPrvku(char *ignored, int32_t high);

/* --- Plan-confirmation proceedings: SeznamRizeniPGP --- */
#pragma pack(push, 1)
typedef struct TKatuzeZPMZRec {
  char katuzeKod[7];
  char katuzeNazev[49];
  THostPtr cislaZPMZ;    /* host list of char[6], ZPMZ numbers */
  int32_t CislaZPMZHigh; /* index of the last number written; -1: none */
} TKatuzeZPMZRec;

typedef struct TRizeniPGPRec {
  char idRizeniPGP[31];
  char cisloRizeni[25];
  THostDateTime datumPrijetiZPG; /* when the ZPG proposal was received */
  char stavRizeni[21];
  THostPtr katuzeZPMZ;    /* host list of TKatuzeZPMZRec; untouched for a proceeding without areas */
  int32_t KatuzeZPMZHigh; /* index of the last area written; -1: none */
  char cisloZPG[25];
} TRizeniPGPRec;

typedef struct TSeznamRizeniPGPOut {
  THostMessageBlock zpravy;
  THostPtr rizeniPGPList; /* host list of TRizeniPGPRec */
} TSeznamRizeniPGPOut;

/* The host gives every proceeding an area list of katuzeZPMZMax entries and every area a
 * number list of cislaZPMZMax entries. */
typedef struct TSeznamRizeniPGPSizes {
  int32_t MessageCount;
  int32_t rizeniPGPList;
  int32_t katuzeZPMZMax; /* most areas of one proceeding; 0: none */
  int32_t cislaZPMZMax;  /* most numbers of one area; 0: none */
} TSeznamRizeniPGPSizes;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TKatuzeZPMZRec, 64);
VOKR_ASSERT_SIZE(TRizeniPGPRec, 118);
VOKR_ASSERT_SIZE(TSeznamRizeniPGPOut, 13);
VOKR_ASSERT_SIZE(TSeznamRizeniPGPSizes, 16);

VOKR_API void VOKR_STDCALL loadSeznamRizeniPGP(char *result, int32_t high);
VOKR_API void VOKR_STDCALL getSeznamRizeniPGP(char *ignored, int32_t high, TSeznamRizeniPGPOut *out);
VOKR_API void VOKR_STDCALL getSeznamRizeniPGP_ListSizes(char *ignored, int32_t high, TSeznamRizeniPGPSizes *counts);
VOKR_API void VOKR_STDCALL freeSeznamRizeniPGP(char *ignored, int32_t high);

/* --- Exchange-format export: ExportVF, ExportVFStatus --- */
#pragma pack(push, 1)
/* One polygon position: two coordinate texts, sent as "Coord1 Coord2". */
typedef struct TPosRec {
  char Coord1[31];
  char Coord2[31];
} TPosRec;

typedef struct TExportVFIn {
  char idRizeni[31];
  char charset[21]; /* "ISO8859_2" or "CP1250"; any other text sends no charset */
  char email[251];
  char PolygonId[31];
  char srsName[256];     /* given to the polygon and to every position */
  char srsDimension[11];
  THostPtr Exterior;     /* host list of TPosRec; no closing position is added */
  THostPtr Interiors;    /* host list of THostPtr, each a host list of TPosRec */
  uint8_t skNemo;        /* data-group switches: non-zero sends true */
  uint8_t skBdpa;
  uint8_t skVlst;
  uint8_t skJpvz;
  uint8_t skPkmp;
  uint8_t skBpej;
  uint8_t skGmpl;
  uint8_t skReze;
  uint8_t skDebo;
} TExportVFIn;

typedef struct TExportVFOut {
  THostMessageBlock zpravy;
  char behId[31]; /* the export run, to be polled with ExportVFStatus */
} TExportVFOut;

typedef struct TExportVFStatusIn {
  char behId[31]; /* empty: the state of every run */
} TExportVFStatusIn;

typedef struct TExportVFStatusRec {
  char behId[31];
  uint8_t stavBehu; /* 0 "B", 1 "C", 2 "D", 3 "P", 4 "S" */
  char linkVF[256];
  char hashExportu[1025];
} TExportVFStatusRec;

typedef struct TExportVFStatusOut {
  THostMessageBlock zpravy;
  THostPtr exportVFStatusList; /* host list of TExportVFStatusRec */
} TExportVFStatusOut;

/* The run count comes first here. */
typedef struct TExportVFStatusSizes {
  int32_t exportVFStatusList;
  int32_t MessageCount;
} TExportVFStatusSizes;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TPosRec, 62);
VOKR_ASSERT_SIZE(TExportVFIn, 618);
VOKR_ASSERT_SIZE(TExportVFOut, 40);
VOKR_ASSERT_SIZE(TExportVFStatusIn, 31);
VOKR_ASSERT_SIZE(TExportVFStatusRec, 1313);
VOKR_ASSERT_SIZE(TExportVFStatusOut, 13);
VOKR_ASSERT_SIZE(TExportVFStatusSizes, 8);

VOKR_API void VOKR_STDCALL loadExportVF(const TExportVFIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getExportVF(char *ignored, int32_t high, TExportVFOut *out);
VOKR_API void VOKR_STDCALL getExportVF_ListSizes(char *ignored, int32_t high, TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeExportVF(char *ignored, int32_t high);
VOKR_API void VOKR_STDCALL loadExportVFStatus(const TExportVFStatusIn *in, char *result, int32_t high);
VOKR_API void VOKR_STDCALL getExportVFStatus(char *ignored, int32_t high, TExportVFStatusOut *out);
VOKR_API void VOKR_STDCALL getExportVFStatus_ListSizes(char *ignored, int32_t high, TExportVFStatusSizes *counts);
VOKR_API void VOKR_STDCALL freeExportVFStatus(char *ignored, int32_t high);

/* --- Ownership-sheet reports: GenerujSestavyPM, SeznamSestavLV, VratSestavuLV, SmazSestavuLV.
 *     No result text: a failed call shows only as its code "1000" message. --- */
#pragma pack(push, 1)
typedef struct TGenerujSestavyPMIn {
  char idRizeniPM[31];
  THostPtr seznamParcel; /* host list of char[31], parcel identifiers; empty ones are sent nil */
  uint8_t castecnyVypis; /* Boolean: a partial extract */
} TGenerujSestavyPMIn;

typedef struct TSestavaRec {
  int64_t id;
  char nazev[257];
  int32_t pocetStran;
  THostDateTime datumPozadavku;
  THostDateTime datumSpusteni;
  THostDateTime datumVytvoreni;
  char stav[33];   /* the state as the service names it, e.g. "zpracován" */
  char format[33]; /* "pdf", "xml", "html" or "zip" */
} TSestavaRec;

typedef struct TSestavyOut {
  THostMessageBlock zpravy;
  THostPtr reportList; /* host list of TSestavaRec */
} TSestavyOut;

/* The report count comes first; SmazSestavuLV reports 0 there. */
typedef struct TSestavySizes {
  int32_t reportList;
  int32_t MessageCount;
} TSestavySizes;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TGenerujSestavyPMIn, 36);
VOKR_ASSERT_SIZE(TSestavaRec, 359);
VOKR_ASSERT_SIZE(TSestavyOut, 13);
VOKR_ASSERT_SIZE(TSestavySizes, 8);

VOKR_API void VOKR_STDCALL loadGenerujSestavyPM(const TGenerujSestavyPMIn *in);
VOKR_API void VOKR_STDCALL getGenerujSestavyPM(TSestavyOut *out);
VOKR_API void VOKR_STDCALL getGenerujSestavyPM_ListSizes(TSestavySizes *counts);
VOKR_API void VOKR_STDCALL freeGenerujSestavyPM(void);
VOKR_API void VOKR_STDCALL loadSeznamSestavLV(void);
VOKR_API void VOKR_STDCALL getSeznamSestavLV(TSestavyOut *out);
VOKR_API void VOKR_STDCALL getSeznamSestavLV_ListSizes(TSestavySizes *counts);
VOKR_API void VOKR_STDCALL freeSeznamSestavLV(void);
/* idSestavy of get, free and save is not read: they work on the report held by the load. */
VOKR_API void VOKR_STDCALL loadVratSestavuLV(int64_t idSestavy);
VOKR_API void VOKR_STDCALL getVratSestavuLV(int64_t idSestavy, TSestavyOut *out);
VOKR_API void VOKR_REGISTER getVratSestavuLV_ListSizes(TSestavySizes *counts);
VOKR_API void VOKR_STDCALL freeVratSestavuLV(int64_t idSestavy);
/* Writes the held report's file to path (1025 bytes), replacing a file that is not in use. */
VOKR_API void VOKR_STDCALL saveSestavuLV(int64_t idSestavy, const char *path);
VOKR_API void VOKR_STDCALL loadSmazSestavuLV(int64_t idSestavy);
VOKR_API void VOKR_STDCALL getSmazSestavuLV(int64_t idSestavy, THostMessageBlock *out);
VOKR_API void VOKR_REGISTER getSmazSestavuLV_ListSizes(TSestavySizes *counts);
VOKR_API void VOKR_STDCALL freeSmazSestavuLV(int64_t idSestavy);

/* --- ZPMZ files: NajdiSouborZPMZ, VratSouborZPMZ, saveSouborZPMZ, dwnldFilesZPMZ.
 *     cisloVysledkuZemCinnosti is integer text; any other text is refused before sending. --- */
#pragma pack(push, 1)
typedef struct TNajdiSouborZPMZIn {
  char katuzeKod[7];
  char cisloVysledkuZemCinnosti[33];
} TNajdiSouborZPMZIn;

typedef struct TSouborZPMZRec {
  char zpmzDokumentId[31];
  char nazevSouboru[256];
  char velikostSouboru[33];
} TSouborZPMZRec;

typedef struct TNajdiSouborZPMZOut {
  THostMessageBlock zpravy;
  THostPtr souborZPMZList; /* host list of TSouborZPMZRec */
} TNajdiSouborZPMZOut;

typedef struct TNajdiSouborZPMZSizes {
  int32_t MessageCount;
  int32_t souborZPMZList;
} TNajdiSouborZPMZSizes;

typedef struct TVratSouborZPMZIn {
  char katuzeKod[7];
  char cisloVysledkuZemCinnosti[33];
  char zpmzDokumentId[31];
} TVratSouborZPMZIn;

/* The file's content stays with the library for saveSouborZPMZ. */
typedef struct TVratSouborZPMZOut {
  THostMessageBlock zpravy;
  char zpmzDokumentId[31];
  char nazevSouboru[256];
  char velikostSouboru[33];
} TVratSouborZPMZOut;

typedef struct TDwnldFilesZPMZIn {
  char katuzeKod[7];
  char cisloVysledkuZemCinnosti[33];
  char TargetDir[256];  /* the files keep the names the service gives them */
  THostPtr DocumentIds; /* host list of char[31] */
} TDwnldFilesZPMZIn;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TNajdiSouborZPMZIn, 40);
VOKR_ASSERT_SIZE(TSouborZPMZRec, 320);
VOKR_ASSERT_SIZE(TNajdiSouborZPMZOut, 13);
VOKR_ASSERT_SIZE(TNajdiSouborZPMZSizes, 8);
VOKR_ASSERT_SIZE(TVratSouborZPMZIn, 71);
VOKR_ASSERT_SIZE(TVratSouborZPMZOut, 329);
VOKR_ASSERT_SIZE(TDwnldFilesZPMZIn, 300);

VOKR_API void VOKR_STDCALL loadNajdiSouborZPMZ(const TNajdiSouborZPMZIn *in);
VOKR_API void VOKR_STDCALL getNajdiSouborZPMZ(TNajdiSouborZPMZOut *out);
VOKR_API void VOKR_STDCALL getNajdiSouborZPMZ_ListSizes(TNajdiSouborZPMZSizes *counts);
VOKR_API void VOKR_STDCALL freeNajdiSouborZPMZ(void);
VOKR_API void VOKR_STDCALL loadVratSouborZPMZ(const TVratSouborZPMZIn *in);
VOKR_API void VOKR_STDCALL getVratSouborZPMZ(TVratSouborZPMZOut *out);
VOKR_API void VOKR_REGISTER getVratSouborZPMZ_ListSizes(TMessageCounts *counts);
VOKR_API void VOKR_STDCALL freeVratSouborZPMZ(void);
/* Writes the held file to path (1025 bytes), replacing a file that is not in use. */
VOKR_API void VOKR_STDCALL saveSouborZPMZ(const char *path);
/* Fetches and saves DocumentIds[i] into TargetDir for i < count, with the answer of each in
 * entry i of *results (a host list of TVratSouborZPMZOut, each with its message list
 * allocated). A target file in use is left alone and reported as "File in use: " + path. */
VOKR_API void VOKR_STDCALL dwnldFilesZPMZ(const TDwnldFilesZPMZIn *in, const THostPtr *results, int32_t count);

/* @families */

#endif
