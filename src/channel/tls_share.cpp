#include "channel/tls_share.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <mutex>

#include "platform/error.h"

namespace vokr::channel {

namespace {

using Store = std::shared_ptr<X509_STORE>;

// The trust store as libcurl would build it for every connection: the bundle file and the
// directory, with a trusted certificate accepted wherever it stands in the chain.
Store loadStore(const Trust& trust) {
  // What is not set is libcurl's built-in default, as it would be for libcurl's own store.
  const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
  const std::string file = !trust.file.empty() ? trust.file : curl->cainfo ? curl->cainfo : "";
  const std::string directory = !trust.directory.empty() ? trust.directory : curl->capath ? curl->capath : "";
  Store store(X509_STORE_new(), X509_STORE_free);
  if (!store) throw Error(ErrorKind::TransportError, "out of memory");
  if (!file.empty() && X509_STORE_load_file(store.get(), file.c_str()) != 1) {
    ERR_clear_error();
    throw Error(ErrorKind::TransportError, "error setting certificate file: " + file);
  }
  if (!directory.empty() && X509_STORE_load_path(store.get(), directory.c_str()) != 1) {
    ERR_clear_error();
    throw Error(ErrorKind::TransportError, "error setting certificate path: " + directory);
  }
  X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN | X509_V_FLAG_TRUSTED_FIRST);
  return store;
}

// The process's shared TLS state. A new trust setting starts a new session cache too: a
// session resumed without a handshake must not outlive the trust it was verified against.
class Shared {
public:
  ~Shared() { reset(); }

  Store use(CURL* easy, const Trust& trust) {
    std::lock_guard lock(mutex_);
    if (!store_ || !(trust == trust_)) {
      Store fresh = loadStore(trust);
      reset();
      store_ = std::move(fresh);
      trust_ = trust;
    }
    if (!share_) share_ = newShare();
    curl_easy_setopt(easy, CURLOPT_SHARE, share_);
    return store_;
  }

private:
  CURLSH* newShare() {
    CURLSH* share = curl_share_init();
    if (!share) return nullptr;  // then sessions are simply not resumed
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare);
    curl_share_setopt(share, CURLSHOPT_USERDATA, &shareMutex_);
    return share;
  }
  void reset() {
    if (share_) curl_share_cleanup(share_);
    share_ = nullptr;
    store_.reset();
  }
  static void lockShare(CURL*, curl_lock_data, curl_lock_access, void* mutex) {
    static_cast<std::mutex*>(mutex)->lock();
  }
  static void unlockShare(CURL*, curl_lock_data, void* mutex) { static_cast<std::mutex*>(mutex)->unlock(); }

  std::mutex mutex_, shareMutex_;
  Trust trust_;
  Store store_;
  CURLSH* share_ = nullptr;
};

Shared& shared() {
  static Shared s;
  return s;
}

// Each new connection's TLS context takes the shared store in place of one of its own.
CURLcode installStore(CURL*, void* context, void* store) {
  SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(context), static_cast<X509_STORE*>(store));
  return CURLE_OK;
}

} // namespace

Store shareTls(CURL* easy, const Trust& trust) {
  Store store = shared().use(easy, trust);
  curl_easy_setopt(easy, CURLOPT_CAINFO, nullptr);  // libcurl loads nothing of its own
  curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, installStore);
  curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, store.get());
  return store;
}

} // namespace vokr::channel
