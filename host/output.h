#pragma once
// What a command tells its user. On a terminal or in a pipe, results go to standard output as
// indented lines and failures to standard error; with --json, standard output receives one
// JSON document at the end (calls with their messages, the result, the files written, the
// exit status and the error), and nothing else.
#include <string>
#include <vector>

#include "errors.h"
#include "families.h"
#include "json.h"

namespace host {

// The cause of a failed call, read from the messages the plug-in copied.
Exit causeOf(const Messages& messages);

class Output {
public:
  Output(std::string command, bool json, std::string endpoint, bool urlHasEndpoint);

  bool json() const { return json_; }

  // Records a call and shows its messages: on standard output when it succeeded, on standard
  // error with the endpoint and a hint when it failed. Returns whether it succeeded; the first
  // failure's cause becomes the exit status.
  bool call(const char* operation, const Messages& messages);
  // The command's result (--json only; the text form is printed by the command).
  void result(Json value) { result_ = std::move(value); }
  // A file the command wrote or had the plug-in write.
  void file(const std::string& path, int64_t size);
  // A failure of the command itself: stops it with this cause.
  void fail(const std::string& message, Exit cause);

  Exit exit() const { return exit_; }
  // Writes the JSON document (--json) and returns the exit status.
  int finish();

private:
  std::string command_;
  bool json_;
  std::string endpoint_;
  bool urlHasEndpoint_;
  Exit exit_ = Exit::ok;
  Json calls_ = Json::array();
  Json files_ = Json::array();
  Json result_;
  std::string error_;
};

} // namespace host
