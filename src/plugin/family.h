#pragma once
// The frame every operation family stands on: one held response per family, the shared load
// sequence with its failure capture, the message copy into the host message block, and free.
// A family is a static Family<Response> plus four short exports that call it.
#include <memory>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "plugin/host.h"
#include "schema/registry.h"
#include "schema/messages.h"

namespace vokr::plugin {

using Messages = std::vector<std::unique_ptr<schema::ZpravaServeruType>>;

// Copies the messages into a host message block and sets its five flags; entries beyond the
// host list's count are skipped and set no flag. Returns the success flag.
bool copyMessages(const Messages& messages, THostMessageBlock* block);

// The service as the frame reaches it: the seam between the frame and the channel.
class Service {
public:
  // Throws vokr::Error for a call that failed.
  virtual std::unique_ptr<schema::TRemotable> call(schema::Operation op,
                                                   const schema::TRemotable& request) = 0;

protected:
  ~Service() = default;
};

// The cadastre's service through the channel, with the settings held at the moment of the call.
// Every family uses it; tests of the frame alone give a family a double instead.
Service& cadastreService();

// Codes of the messages the library makes itself.
inline constexpr std::string_view kCallFailed = "1000";    // the service call failed
inline constexpr std::string_view kNotSent = "1001";       // an error before or outside the call

// The code of an error out of the service call. Host data the request cannot carry (an unsafe
// URL, a text XML cannot hold) is refused there before anything is sent: "1001" like an error
// of building the request. Every other kind means the call failed.
inline std::string_view callFailureCode(const Error& e) {
  return e.kind() == ErrorKind::ConvertError ? kNotSent : kCallFailed;
}

// A CHYBA message with the given code and text.
std::unique_ptr<schema::ZpravaServeruType> ownMessage(std::string_view code, std::string text);

template <class Response> class Family {
public:
  explicit Family(Service& service = cadastreService()) : service_(service) {}
  Family(const Family&) = delete;
  Family& operator=(const Family&) = delete;

  // release, build the request, guarded call. `build` returns the request object; an Error it
  // throws means nothing is sent and the error is held with code "1001".
  template <class Build> void load(schema::Operation op, char* resultText, Build&& build) noexcept {
    guardedStep(resultText, [&] {
      release();
      std::unique_ptr<schema::TRemotable> request;
      try {
        request = build();
      } catch (const Error& e) {
        holdOwnMessage(kNotSent, e, resultText);
        return;
      }
      call(op, *request, resultText);
    });
  }

  // The guarded service call alone, for families that prepare their request themselves.
  void call(schema::Operation op, const schema::TRemotable& request, char* resultText) noexcept {
    guardedStep(resultText, [&] {
      try {
        std::unique_ptr<schema::TRemotable> answer = service_.call(op, request);
        auto* typed = dynamic_cast<Response*>(answer.get());
        if (!typed) throw Error(ErrorKind::XmlReadError, "unexpected response class");
        answer.release();
        held_.reset(typed);
      } catch (const Error& e) {
        holdOwnMessage(callFailureCode(e), e, resultText);
      }
    });
  }

  // Replaces the held response with one message of the library's own.
  void holdOwnMessage(std::string_view code, const Error& e, char* resultText) noexcept {
    try {
      holdMessage(code, std::string(e.kindName()) + "; " + e.what(), resultText);
    } catch (...) {
      held_.reset();
    }
  }
  // The same with a text not made from an error (a signing failure).
  void holdMessage(std::string_view code, std::string text, char* resultText) noexcept {
    try {
      held_.reset();
      writeFailureResult(resultText);
      auto r = std::make_unique<Response>();
      r->vysledek.push_back(ownMessage(code, std::move(text)));
      held_ = std::move(r);
    } catch (...) {
      held_.reset();
    }
  }

  // get: the messages, then the family's own fields only on success. Nothing held or no
  // output record: no write. `out` is the family's output record (its block is `zpravy`) or,
  // for families that answer with messages only, the block itself.
  template <class Out, class CopyResults>
  void get(Out* out, CopyResults&& copyResults) const noexcept {
    guardedStep(nullptr, [&] {
      if (!held_ || !out) return;
      if (copyMessages(held_->vysledek, messageBlock(*out))) copyResults(*held_);
    });
  }
  void get(THostMessageBlock* block) const noexcept {
    get(block, [](const Response&) {});
  }

  // ListSizes: writes nothing while nothing is held or without a counts record.
  template <class Counts, class WriteCounts>
  void counts(Counts* record, WriteCounts&& writeCounts) const noexcept {
    guardedStep(nullptr, [&] {
      if (held_ && record) writeCounts(*held_);
    });
  }

  // The counts record of families whose only list is the messages.
  void messageCounts(TMessageCounts* record) const noexcept {
    counts(record, [&](const Response& r) {
      store(&record->MessageCount, listCount(r.vysledek.size()));
    });
  }

  const Response* held() const { return held_.get(); }
  void release() noexcept { held_.reset(); }

  // Nothing escapes a step. An exception the step does not handle itself (memory running out,
  // a fault of the library) is held as the call failing, of kind EOutOfResources; should
  // holding that fail too, nothing is held. Public for loads with a sequence of their own (the
  // proposals sign before they release).
  template <class Step> void guardedStep(char* resultText, Step&& step) const noexcept {
    try {
      step();
    } catch (const std::exception& e) {
      const_cast<Family*>(this)->holdOwnMessage(
          kCallFailed, Error(ErrorKind::OutOfResources, e.what()), resultText);
    } catch (...) {  // nothing the library throws
    }
  }

private:
  static THostMessageBlock* messageBlock(THostMessageBlock& block) { return &block; }
  template <class Out> static THostMessageBlock* messageBlock(Out& out) { return &out.zpravy; }

  Service& service_;
  std::unique_ptr<Response> held_;
};

} // namespace vokr::plugin
