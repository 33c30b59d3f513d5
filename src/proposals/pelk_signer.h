#pragma once
// The signing library's interface: one function, PelkSigner_SignXML, and its three packed
// records. The plug-in imports the function by name from libPelkSigner.so; our stand-in library
// (signer/) and the test signing library implement it. 32-bit x86 is the library ABI: the two
// first records travel by value on the stack, the function is stdcall and returns a one-byte
// Boolean (True: the signed document now exists at the output path; False: the result record
// says why not).
//
// The signing block (the 1228 bytes of the proposal input record reserved for signing) is
// agreed between the host and the signing library; the plug-in copies it unread. Its layout for
// our stand-in library is the public TPelkSignerKeyBlock of vokr.h.
#include <cstdint>

#include "vokr.h"

#if defined(__i386__)
#define PELK_STDCALL __attribute__((stdcall))
#else
#define PELK_STDCALL
#endif

namespace pelk {

// Enumeration codes of the configuration record, as the signing library numbers them. Only the
// values named here are known; higher codes exist in the library's interface but are not ours.
enum class SignatureType : uint8_t { Detached = 0, Enveloping = 1, Enveloped = 2 };
enum class Canonicalization : uint8_t {
  None = 0,
  Canon = 1,
  CanonComment = 2,
  ExclCanon = 3,
  ExclCanonComment = 4,
  MinCanon = 5,
  Canon_v1_1 = 6,
  CanonComment_v1_1 = 7,
};
enum class SignatureMethodType : uint8_t { Sig = 0, MAC = 1 };
enum class SignatureMethod : uint8_t { DSS = 0, RSA_MD5 = 1, RSA_SHA1 = 2, RSA_SHA256 = 3 };
enum class MacMethod : uint8_t { HMAC_MD5 = 0, HMAC_SHA1 = 1, HMAC_SHA224 = 2, HMAC_SHA256 = 3 };
enum class DigestMethod : uint8_t { MD5 = 0, SHA1 = 1, SHA224 = 2, SHA256 = 3 };

inline constexpr int kPathWidth = 1025;
inline constexpr int kSigningBlockWidth = sizeof(TPelkSignerKeyBlock);

} // namespace pelk

#pragma pack(push, 1)

// Texts are 8-bit in the process code page, each ending with a zero byte inside its field.
struct TPelkSignerFiles {
  char InputFile[pelk::kPathWidth];   // full path of the unsigned document
  char OutputFile[pelk::kPathWidth];  // full path at which the library writes the signed one
  uint8_t SigningBlock[pelk::kSigningBlockWidth];  // the host's signing block, byte for byte
};

struct TPelkSignerConfig {
  char Encoding[51];  // "utf-8", the rest zero
  pelk::SignatureType SignatureType;
  pelk::Canonicalization Canonicalization;
  pelk::SignatureMethodType SignatureMethodType;
  pelk::SignatureMethod SignatureMethod;
  pelk::MacMethod MacMethod;
  pelk::DigestMethod DigestMethod;
  uint8_t Reserved[101];  // zero
  uint8_t FinalFlag;      // 1; its meaning is the library's own
};

struct TPelkSignerResult {
  int32_t Code;
  char Message[1025];
};

#pragma pack(pop)

namespace pelk {

// Result codes of our stand-in library (a failure always has a negative code).
enum class StandInCode : int32_t {
  Signed = 0,
  UnsupportedConfig = -1,
  KeyUnreadable = -2,     // the key file cannot be opened or read
  WrongPassword = -3,     // the key or the PKCS#12 file does not open with the password
  KeyInvalid = -4,        // no private key, or no certificate that belongs to it
  InputUnreadable = -5,
  InputNotXml = -6,
  SigningFailed = -7,
  OutputNotWritable = -8,
  CryptoUnavailable = -9,  // the XML-security library could not be initialised
};

} // namespace pelk

static_assert(sizeof(TPelkSignerFiles) == 3278);
static_assert(sizeof(TPelkSignerConfig) == 159);
static_assert(sizeof(TPelkSignerResult) == 1029);
static_assert(sizeof(TZalozNavrhZPGIn::signingBlock) == pelk::kSigningBlockWidth);
static_assert(sizeof(TZalozNavrhZDPIn::signingBlock) == pelk::kSigningBlockWidth);

namespace pelk {

// The one configuration the plug-in ever passes: an enveloped signature, inclusive
// canonicalisation, RSA-SHA256 over a SHA-256 digest, the document in UTF-8.
inline constexpr TPelkSignerConfig kSignerConfig = {
    "utf-8",
    SignatureType::Enveloped,
    Canonicalization::Canon,
    SignatureMethodType::Sig,
    SignatureMethod::RSA_SHA256,
    MacMethod::HMAC_SHA256,
    DigestMethod::SHA256,
    {},
    1,
};

} // namespace pelk

// The function as the plug-in calls it.
using PelkSigner_SignXML_Fn = uint8_t(PELK_STDCALL*)(TPelkSignerFiles files,
                                                     TPelkSignerConfig config,
                                                     TPelkSignerResult* result);

inline constexpr const char kPelkSignerName[] = "PelkSigner";  // libPelkSigner.so, PelkSigner.dll
inline constexpr const char kPelkSignerSymbol[] = "PelkSigner_SignXML";

// The declaration a signing library implements (exported undecorated).
extern "C" __attribute__((visibility("default"))) uint8_t PELK_STDCALL PelkSigner_SignXML(
    TPelkSignerFiles files, TPelkSignerConfig config, TPelkSignerResult* result);
