/*
 * vokr.h: the VOKR plug-in (libvokr.so, vokr.dll) for Pelk host applications, the host's way to
 * the Czech cadastre's geometric-plan web service (SOAP 1.1, service version 2.9, HTTPS).
 * Everything a host needs: every export with its calling convention and a function-pointer type
 * for it, every host record as a packed struct, the message codes and the version. C89 and later,
 * C++98 and later, GCC or Clang (mingw-w64 included). examples/ holds a complete small host.
 *
 * LOADING. A host loads the library at run time (dlopen / LoadLibrary) and looks each export up
 * by its plain name (dlsym / GetProcAddress) into a pointer of type VOKR_PFN_<export>. Those
 * types carry the calling convention: stdcall for every export except the three register exports
 * getVratSestavuLV_ListSizes, getSmazSestavuLV_ListSizes and getVratSouborZPMZ_ListSizes, which
 * take their one argument in EAX (regparm(1)). A pointer declared without its convention
 * compiles and then corrupts the host's stack on the first call. The prototypes are declared as
 * well, for hosts that link the library directly.
 *
 * HOST RECORDS AND TEXTS. Records are packed (no padding). A text field is 8-bit text in the code
 * page of the process (on Linux the LC_CTYPE locale's, e.g. cs_CZ.CP1250; UTF-8 without one); its
 * width counts the terminating zero. Texts the library writes are cut to their field, never
 * inside a character, and always end with a zero byte. A host list is a 32-bit pointer to the
 * first entry (THostPtr) with the list's signed 32-bit entry count stored in the four bytes just
 * before that entry; a null pointer is a list without entries. The library never allocates or
 * frees host memory and writes a host list only up to the count stored before it.
 *
 * THE OPERATION CYCLE. Each operation family <Op> keeps at most one answer, the "held" answer:
 *   1. load<Op>(in...)          sends the request and holds the answer; returns when it is in
 *                               (or the call failed). Releases the answer held before.
 *   2. get<Op>_ListSizes(...)   writes how many entries each list of the held answer has into
 *                               the counts record. -1 means that list is empty or absent: leave
 *                               its pointer null (no entries are written into it). 0 appears
 *                               only where a family says so (a block the answer does not carry).
 *   3. the host allocates each list of its output record with at least that many entries,
 *      storing the count in the four bytes before the first entry; the server messages too.
 *   4. get<Op>(..., out)        copies the messages, then the results (below).
 *   5. free<Op>(...)            releases the held answer. Nothing held: does nothing.
 * get and ListSizes may be repeated; the held answer stays as it is. Families are independent.
 *
 * ARGUMENT CONVENTIONS.
 *   result text (char *result, int32_t high) of a load: high is the buffer's highest index
 *     (size - 1) and is ignored; give at least 2 bytes. The library writes "0" into it when the
 *     load failed (a code "1000" or "1001" message is held) and leaves it untouched on success:
 *     preset it, e.g. to the empty text.
 *   ignored character array (char *ignored, int32_t high): never read; pass NULL, 0.
 *   Id (int64_t): the report id of VratSestavuLV and SmazSestavuLV; get, free and save ignore
 *     theirs and work on the report the last load fetched.
 *   every record, counts or output pointer: NULL makes the export write nothing and return.
 *
 * WHAT get COPIES. The message copy fills the THostMessageBlock of the output record: its five
 * flags from the copied messages, and one THostMessageRec per message into its messages list.
 * Messages beyond that list's count are skipped and set no flag; a null list copies none. The
 * family's results (every other field of the output record) are copied only when a message
 * with code "0" was itself copied, so a host that passes no message list, or a list too short to
 * reach the success message, gets no results although the service did the work (a reservation
 * is then made but its number unseen). Without success the result fields keep what the host put
 * there. With nothing held (before the first load, after free) get, ListSizes and save write
 * nothing, and the ItemSize exports return -1.
 *
 * FAILURES. No export returns a status and no error crosses the boundary: every outcome is a
 * server message. The service's own messages carry its codes (VOKR_CODE_SUCCESS "0" on success).
 * The library adds one CHYBA message of its own, text "<kind>; <what happened>", as the only
 * message of the held answer:
 *   VOKR_CODE_CALL_FAILED "1000": the service call failed (callFailure flag set):
 *     ERemotableException  the service answered with a SOAP fault; the text is its faultstring
 *     ETransportError      the exchange did not complete: name resolution, connection, proxy,
 *                          TLS, a time-out, a lost connection
 *     EHttpError           an HTTP error answer that is no SOAP message ("HTTP 503 ...")
 *     EXmlReadError        the answer is not XML, not a SOAP envelope, or a value is unreadable
 *     EOutOfResources      memory exhausted or an unexpected internal failure
 *   VOKR_CODE_NOT_SENT "1001": an error before or outside the call; nothing was sent:
 *     EConvertError        host data that cannot become a request value (the field is named)
 *     EInOutError          a file that cannot be read, written or deleted
 *     EProposalError       a proposal document cannot be built from the host's record
 *   signing statuses (proposal families only; the code is the status as decimal text, the text
 *   "Signature utility error - <status>", CR LF, the reason):
 *     VOKR_SIGNING_OK 10000 (the signing library succeeded; never seen as a message),
 *     VOKR_SIGNING_NO_OUTPUT 10001 (it reported success but wrote no signed document),
 *     VOKR_SIGNING_UNAVAILABLE 10002 (library or function missing, or it raised an error),
 *     any other code: the signing library's own failure code (negative for libPelkSigner).
 * A save (saveSestavuLV, saveSouborZPMZ) reports nothing: the file is replaced whole or not at
 * all, so a failed save (directory missing, no permission, file in use, disk full, beyond the
 * process's file-size limit) shows only as the target unchanged; check the file. A file is in
 * use when it may not be written or anyone holds a lock on it, the host itself included; the
 * library never drops the host's own locks. dwnldFilesZPMZ reports every file it does not save
 * in that file's entry (below).
 * A host text holding a control character other than tab, CR and LF, which XML cannot carry,
 * is refused before sending (EConvertError naming the field), as is a host list whose count
 * no list in host memory can have.
 *
 * THREADS. The library starts no threads and takes no locks; every export runs to completion
 * on the calling thread, a load including the whole HTTPS exchange. All state (settings,
 * parameters, held answers) is shared by the process: call the exports one at a time. Calls
 * from different threads are fine as long as no two overlap.
 */
#ifndef VOKR_H
#define VOKR_H

#include <stdint.h>

#if !defined(__GNUC__)
#error "vokr.h needs GCC or Clang: the register exports are declared with regparm(1)"
#endif

/* The plug-in's version (GetPelkPluginVersion writes the four parts joined by dots) and the
 * service version it speaks (GetVOKRVersion, GetPelkPluginInfo). */
#define VOKR_VERSION_MAJOR 2
#define VOKR_VERSION_MINOR 9
#define VOKR_VERSION_RELEASE 0
#define VOKR_VERSION_BUILD 1
#define VOKR_VERSION_TEXT "2.9.0.1"
#define VOKR_SERVICE_VERSION "2.9"

/* Message codes the library writes itself, and the service's success code. */
#define VOKR_CODE_SUCCESS "0"
#define VOKR_CODE_CALL_FAILED "1000"
#define VOKR_CODE_NOT_SENT "1001"
/* Signing statuses of the proposal families. */
#define VOKR_SIGNING_OK 10000
#define VOKR_SIGNING_NO_OUTPUT 10001
#define VOKR_SIGNING_UNAVAILABLE 10002
/* Levels of THostMessageRec.uroven. */
#define VOKR_INFORMACE 0
#define VOKR_VAROVANI 1
#define VOKR_CHYBA 2

#if defined(__i386__)
#define VOKR_STDCALL __attribute__((stdcall))
#define VOKR_REGISTER __attribute__((regparm(1)))
#else
#define VOKR_STDCALL /* 64-bit builds (tests only) have one convention */
#define VOKR_REGISTER
#endif

/* Windows exports come from the library's .def file; ELF ones need default visibility. */
#if defined(_WIN32)
#define VOKR_VISIBLE
#else
#define VOKR_VISIBLE __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
#define VOKR_API extern "C" VOKR_VISIBLE
#else
#define VOKR_API VOKR_VISIBLE
#endif

/* Declares an export and VOKR_PFN_<name>, the type of a pointer to it. */
#define VOKR_FUNCTION(ret, convention, name, params) \
  VOKR_API ret convention name params;               \
  typedef ret(convention *VOKR_PFN_##name) params

/* Record sizes checked at compile time in every dialect: static_assert / _Static_assert where
 * the language has it, else an array type whose size is negative when the check fails. */
#if defined(__cplusplus) && __cplusplus >= 201103L
#define VOKR_ASSERT_SIZE(T, n) static_assert(sizeof(T) == (n), "size of " #T)
#elif !defined(__cplusplus) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define VOKR_ASSERT_SIZE(T, n) _Static_assert(sizeof(T) == (n), "size of " #T)
#else
#define VOKR_ASSERT_SIZE(T, n) typedef char vokr_size_of_##T[sizeof(T) == (n) ? 1 : -1]
#endif

/* A pointer stored inside a host record: 32 bits wide in every build. */
typedef uint32_t THostPtr;
/* Days since 1899-12-30 00:00, local time, the time of day as fraction; the years 1 to 9999.
 * Before 1899-12-30 the fraction counts away from zero (-1.25 is 1899-12-29 06:00). A date the
 * service sends outside those years is written as 0. */
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

/* Connection settings. URL must begin with "https://" (in any case): the request carries the
 * password, so a URL with any other scheme, or none, is refused by the next load before
 * anything is sent (code "1001", "EConvertError; the service is reached over HTTPS only: "
 * and the endpoint); an empty URL fails as a call (code "1000").
 * Time-outs are in milliseconds; -1 or 0 means "not set" and takes the default:
 *   ConnectTimeout  connection and TLS handshake; default ReceiveTimeout when that is set,
 *                   else 60000
 *   SendTimeout     longest time without progress in sending the request; default 30000
 *   ReceiveTimeout  longest wait for the answer, and longest time without progress in
 *                   receiving it; default 30000
 * Progress is at least 1024 bytes moved: an answer trickling in more slowly ends the call. */
typedef struct TConnectInfo {
  char URL[1025]; /* https://...; the endpoint is URL followed by "/ws/geo/2.9/geo" */
  char UserName[101];
  char UserPassword[101];
  char WSDLLocation[256]; /* kept and handed back only */
  char Proxy[1025];       /* host:port; empty: direct connection */
  char ProxyByPass[1025];
  char ProxyUserName[101];
  char ProxyPassword[101];
  int32_t ConnectTimeout; /* milliseconds; -1 or 0: the default (see above) */
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

/* --- Identification ---
 * The first three write a length-prefixed text: text[0] the length, then the characters, at
 * most `capacity` (up to 255) of them, so the buffer needs capacity + 1 bytes. */
/* The library's file name without directory, e.g. "libvokr.so". */
VOKR_FUNCTION(void, VOKR_STDCALL, GetPelkPluginName, (uint8_t *text, int32_t capacity));
/* The library file's version, VOKR_VERSION_TEXT of the header it was built with; empty when the
 * file carries no version information. */
VOKR_FUNCTION(void, VOKR_STDCALL, GetPelkPluginVersion, (uint8_t *text, int32_t capacity));
/* "VOKR version : 2.9". */
VOKR_FUNCTION(void, VOKR_STDCALL, GetPelkPluginInfo, (uint8_t *text, int32_t capacity));
/* Writes VOKR_SERVICE_VERSION with its zero byte (4 bytes); high is ignored. */
VOKR_FUNCTION(void, VOKR_STDCALL, GetVOKRVersion, (char *text, int32_t high));

/* --- Connection settings and working parameters ---
 * Kept for the life of the loaded library and read afresh by every later load. */
/* Stores the connection settings. Nothing is checked here; a bad URL fails the next load
 * (one that is not https:// with code "1001", before anything is sent). */
VOKR_FUNCTION(void, VOKR_STDCALL, SetConnectInfo, (const TConnectInfo *info));
/* Writes the stored settings back (each text up to its zero byte). */
VOKR_FUNCTION(void, VOKR_STDCALL, GetConnectInfo, (TConnectInfo *info));
/* Empties every text and sets the three time-outs to -1 (the state at load). */
VOKR_FUNCTION(void, VOKR_STDCALL, ClearConnectInfo, (void));
/* Stores the working parameters. An empty path keeps the stored one; a path that names no
 * directory becomes the temporary directory. No directory is created. */
VOKR_FUNCTION(void, VOKR_STDCALL, SetVOKRParams, (const TVOKR_HostParams *params));
/* Writes the stored parameters: at load both paths are the library's own directory, LogLevel 0,
 * LogUseTimestamp 1. Paths end with the path delimiter. */
VOKR_FUNCTION(void, VOKR_STDCALL, GetVOKRParams, (TVOKR_HostParams *params));

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

/* Reserves a ZPMZ number in the area for the proceeding. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadVytvorRezervaciZPMZ, (const TVytvorRezervaciZPMZIn *in, char *result, int32_t high));
/* Messages; on success the area code and the reserved number. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVytvorRezervaciZPMZ, (char *ignored, int32_t high, TVytvorRezervaciZPMZOut *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVytvorRezervaciZPMZ_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeVytvorRezervaciZPMZ, (char *ignored, int32_t high));
/* Gives a reserved ZPMZ number back. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadZrusRezervaciZPMZ, (const TZrusRezervaciZPMZIn *in, char *result, int32_t high));
/* Messages only. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZrusRezervaciZPMZ, (char *ignored, int32_t high, THostMessageBlock *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZrusRezervaciZPMZ_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeZrusRezervaciZPMZ, (char *ignored, int32_t high));

/* The signing block of the proposal input records (signingBlock, 1228 bytes) is handed unread
 * to the signing library. The library shipped with the plug-in (libPelkSigner.so /
 * PelkSigner.dll) reads it as TPelkSignerKeyBlock: fill one and copy it into signingBlock.
 * That library signs with an enveloped XML signature (RSA-SHA256) and reports a failure (wrong
 * password, unreadable key file, ...) with a negative code and a message saying what failed. */
#pragma pack(push, 1)
typedef struct TPelkSignerKeyBlock {
  char KeyFile[1025];    /* PEM file with the private key and its certificate (further
                            certificates join the signature as its chain), or a PKCS#12 file */
  char Password[101];    /* the key's password; empty for an unencrypted key */
  uint8_t Reserved[102]; /* zero */
} TPelkSignerKeyBlock;
#pragma pack(pop)
VOKR_ASSERT_SIZE(TPelkSignerKeyBlock, 1228);

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
  uint8_t signingBlock[1228]; /* a TPelkSignerKeyBlock for the shipped signing library */
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
  uint8_t signingBlock[1228]; /* a TPelkSignerKeyBlock for the shipped signing library */
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

/* Builds, signs and submits a ZPG proposal with its attachments; a signing failure
 * replaces the held answer even when nothing is sent. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadZalozNavrhZPG, (const TZalozNavrhZPGIn *in));
/* Messages (zpravy at the end of the record); on success the new proceeding. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZalozNavrhZPG, (TZalozNavrhZPGOut *out));
/* Writes MessageCount, the second slot. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZalozNavrhZPG_ListSizes, (TZalozNavrhCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeZalozNavrhZPG, (void));
/* Builds, signs and submits a ZDP proposal for an existing proceeding. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadZalozNavrhZDP, (const TZalozNavrhZDPIn *in));
/* Messages (zpravy at the end of the record); on success the filing. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZalozNavrhZDP, (TZalozNavrhZDPOut *out));
/* Writes MessageCount, the second slot. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZalozNavrhZDP_ListSizes, (TZalozNavrhCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeZalozNavrhZDP, (void));

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

/* Opens a survey (PM) proceeding for the job, areas and parcels. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadZalozRizeniPM, (const TZalozRizeniPMIn *in, char *result, int32_t high));
/* Messages; on success the new proceeding's identification. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZalozRizeniPM, (char *ignored, int32_t high, TZalozRizeniPMOut *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZalozRizeniPM_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeZalozRizeniPM, (char *ignored, int32_t high));

/* Before getDetailRizeniPM the host sizes the nested number list of each reservation entry by
 * the matching ItemSize export and stores its pointer in the entry (-1: leave it null). */
/* Reads a proceeding, with its reservations when rezervace is non-zero. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadDetailRizeniPM, (const TDetailRizeniPMIn *in, char *result, int32_t high));
/* Messages; on success the proceeding and its lists, nested ones included. */
VOKR_FUNCTION(void, VOKR_STDCALL, getDetailRizeniPM, (char *ignored, int32_t high, TDetailRizeniPMOut *out));
/* Writes the seven counts of TDetailRizeniPMSizes. */
VOKR_FUNCTION(void, VOKR_STDCALL, getDetailRizeniPM_ListSizes, (char *ignored, int32_t high, TDetailRizeniPMSizes *counts));
/* Count of stem numbers of parcel reservation `index` (from 0); -1: none,
 * no such entry, or nothing held. */
VOKR_FUNCTION(int32_t, VOKR_STDCALL, getDetailRizeniPM_RezervParCislaListItemSize, (char *ignored, int32_t high, int32_t index));
/* Count of subdivision numbers of subdivision reservation `index`; -1 as above. */
VOKR_FUNCTION(int32_t, VOKR_STDCALL, getDetailRizeniPM_RezervPoddeleniListItemSize, (char *ignored, int32_t high, int32_t index));
/* Count of survey point numbers of point reservation `index`; -1 as above. */
VOKR_FUNCTION(int32_t, VOKR_STDCALL, getDetailRizeniPM_RezervPBPPListItemSize, (char *ignored, int32_t high, int32_t index));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeDetailRizeniPM, (char *ignored, int32_t high));

/* Lists the user's PM proceedings. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadSeznamRizeniPM, (char *result, int32_t high));
/* Messages; on success the proceedings. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSeznamRizeniPM, (char *ignored, int32_t high, TSeznamRizeniPMOut *out));
/* Writes MessageCount and the proceeding count. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSeznamRizeniPM_ListSizes, (char *ignored, int32_t high, TSeznamRizeniPMSizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeSeznamRizeniPM, (char *ignored, int32_t high));

/* Marks a proceeding as erroneous. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadMylneRizeniPM, (const TMylneRizeniPMIn *in, char *result, int32_t high));
/* Messages only. */
VOKR_FUNCTION(void, VOKR_STDCALL, getMylneRizeniPM, (char *ignored, int32_t high, THostMessageBlock *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getMylneRizeniPM_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeMylneRizeniPM, (char *ignored, int32_t high));

/* Adds affected parcels to a proceeding. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadVlozParceluPM, (const TVlozParceluPMIn *in, char *result, int32_t high));
/* Messages only. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVlozParceluPM, (char *ignored, int32_t high, THostMessageBlock *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVlozParceluPM_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeVlozParceluPM, (char *ignored, int32_t high));

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

/* Reserves parcel, subdivision and survey point numbers (the Present blocks). */
VOKR_FUNCTION(void, VOKR_STDCALL, loadVytvorRezervaciPrvku, (const TVytvorRezervaciPrvkuIn *in, char *result, int32_t high));
/* Messages; on success the returned blocks with their number lists. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVytvorRezervaciPrvku, (char *ignored, int32_t high, TVytvorRezervaciPrvkuOut *out));
/* Writes MessageCount and the three number counts. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVytvorRezervaciPrvku_ListSizes, (char *ignored, int32_t high, TVytvorRezervaciPrvkuSizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeVytvorRezervaciPrvku, (char *ignored, int32_t high));
/* Gives reserved element numbers back (the Present blocks). */
VOKR_FUNCTION(void, VOKR_STDCALL, loadZrusRezervaciPrvku, (const TZrusRezervaciPrvkuIn *in, char *result, int32_t high));
/* Messages only. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZrusRezervaciPrvku, (char *ignored, int32_t high, THostMessageBlock *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getZrusRezervaciPrvku_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeZrusRezervaciPrvku, (char *ignored, int32_t high));

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

/* Lists the user's plan-confirmation (PGP) proceedings. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadSeznamRizeniPGP, (char *result, int32_t high));
/* Messages; on success the proceedings with their areas and ZPMZ numbers. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSeznamRizeniPGP, (char *ignored, int32_t high, TSeznamRizeniPGPOut *out));
/* Writes the four counts of TSeznamRizeniPGPSizes. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSeznamRizeniPGP_ListSizes, (char *ignored, int32_t high, TSeznamRizeniPGPSizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeSeznamRizeniPGP, (char *ignored, int32_t high));

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

/* Orders an exchange-format export of the polygon's data. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadExportVF, (const TExportVFIn *in, char *result, int32_t high));
/* Messages; on success the export run's behId. */
VOKR_FUNCTION(void, VOKR_STDCALL, getExportVF, (char *ignored, int32_t high, TExportVFOut *out));
/* Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getExportVF_ListSizes, (char *ignored, int32_t high, TMessageCounts *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeExportVF, (char *ignored, int32_t high));
/* Asks for the state of one export run, or of all. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadExportVFStatus, (const TExportVFStatusIn *in, char *result, int32_t high));
/* Messages; on success the runs with their state and link. */
VOKR_FUNCTION(void, VOKR_STDCALL, getExportVFStatus, (char *ignored, int32_t high, TExportVFStatusOut *out));
/* Writes the run count, then MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getExportVFStatus_ListSizes, (char *ignored, int32_t high, TExportVFStatusSizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeExportVFStatus, (char *ignored, int32_t high));

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

/* Has ownership-sheet reports generated for parcels of a proceeding. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadGenerujSestavyPM, (const TGenerujSestavyPMIn *in));
/* Messages; on success the reports ordered. */
VOKR_FUNCTION(void, VOKR_STDCALL, getGenerujSestavyPM, (TSestavyOut *out));
/* Writes the report count, then MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getGenerujSestavyPM_ListSizes, (TSestavySizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeGenerujSestavyPM, (void));
/* Lists the user's reports. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadSeznamSestavLV, (void));
/* Messages; on success the reports. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSeznamSestavLV, (TSestavyOut *out));
/* Writes the report count, then MessageCount. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSeznamSestavLV_ListSizes, (TSestavySizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeSeznamSestavLV, (void));
/* idSestavy of get, free and save is not read: they work on the report the load fetched. */
/* Fetches report idSestavy with its file, held for saveSestavuLV. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadVratSestavuLV, (int64_t idSestavy));
/* Messages; on success the report (its file is not copied). */
VOKR_FUNCTION(void, VOKR_STDCALL, getVratSestavuLV, (int64_t idSestavy, TSestavyOut *out));
/* Register export (EAX). Writes the report count, then MessageCount. */
VOKR_FUNCTION(void, VOKR_REGISTER, getVratSestavuLV_ListSizes, (TSestavySizes *counts));
/* Releases the held answer and the file with it. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeVratSestavuLV, (int64_t idSestavy));
/* Writes the held report's file to path (a 1025-byte text field), replacing a file
 * that is not in use. Reports nothing; with nothing held, writes nothing. */
VOKR_FUNCTION(void, VOKR_STDCALL, saveSestavuLV, (int64_t idSestavy, const char *path));
/* Deletes report idSestavy at the service. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadSmazSestavuLV, (int64_t idSestavy));
/* Messages only. */
VOKR_FUNCTION(void, VOKR_STDCALL, getSmazSestavuLV, (int64_t idSestavy, THostMessageBlock *out));
/* Register export (EAX). Writes 0, then MessageCount. */
VOKR_FUNCTION(void, VOKR_REGISTER, getSmazSestavuLV_ListSizes, (TSestavySizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeSmazSestavuLV, (int64_t idSestavy));

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

/* Finds the ZPMZ files of a surveying result. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadNajdiSouborZPMZ, (const TNajdiSouborZPMZIn *in));
/* Messages; on success the files (id, name, size). */
VOKR_FUNCTION(void, VOKR_STDCALL, getNajdiSouborZPMZ, (TNajdiSouborZPMZOut *out));
/* Writes MessageCount and the file count. */
VOKR_FUNCTION(void, VOKR_STDCALL, getNajdiSouborZPMZ_ListSizes, (TNajdiSouborZPMZSizes *counts));
/* Releases the held answer. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeNajdiSouborZPMZ, (void));
/* Fetches one ZPMZ file, held for saveSouborZPMZ. */
VOKR_FUNCTION(void, VOKR_STDCALL, loadVratSouborZPMZ, (const TVratSouborZPMZIn *in));
/* Messages; on success the file's id, name and size. */
VOKR_FUNCTION(void, VOKR_STDCALL, getVratSouborZPMZ, (TVratSouborZPMZOut *out));
/* Register export (EAX). Writes MessageCount. */
VOKR_FUNCTION(void, VOKR_REGISTER, getVratSouborZPMZ_ListSizes, (TMessageCounts *counts));
/* Releases the held answer and the file with it. */
VOKR_FUNCTION(void, VOKR_STDCALL, freeVratSouborZPMZ, (void));
/* Writes the held file to path (a 1025-byte text field), replacing a file that is
 * not in use. Reports nothing; with nothing held, writes nothing. */
VOKR_FUNCTION(void, VOKR_STDCALL, saveSouborZPMZ, (const char *path));
/* Fetches and saves DocumentIds[i] into TargetDir for i < count (and within both lists), with
 * the answer of each in entry i of *results (a host list of TVratSouborZPMZOut, each with its
 * message list allocated); the files keep the names the service gives them. A file that is not
 * saved turns its entry's first message from the service's success into CHYBA:
 *   in use:            "1000" "File in use: " + path (the file is left alone; callFailure set);
 *   a name that is empty, ".", "..", or holds '/', '\' or ':' (it would not land directly in
 *   TargetDir):        "1001" "EInOutError; refused file name ..." (nothing written; error set);
 *   cannot be written: "1001" "EInOutError; cannot write <path>: <reason>" (error set).
 * The other entries go on. */
VOKR_FUNCTION(void, VOKR_STDCALL, dwnldFilesZPMZ, (const TDwnldFilesZPMZIn *in, const THostPtr *results, int32_t count));

#endif
