// One UNO connection to a running office over a named pipe, and the calls made through it.
//
// Every call runs on the connection's own thread (CallWorker) with a deadline. When it passes, the
// connection is cut so that the call returns, and every later call fails at once: an office that
// stopped answering once is not trusted again. Failures leave as Failure with a readable text.
#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <string_view>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <rtl/ustring.hxx>

#include "calc/call_worker.h"
#include "core/ports/failure.h"

namespace tallowby::calc {

inline constexpr const char* kStoppedAnswering = "LibreOffice stopped answering.";
inline constexpr const char* kConnectionLost =
    "The connection to LibreOffice was lost: LibreOffice was closed or stopped working.";

class OfficeConnection {
 public:
  explicit OfficeConnection(std::chrono::milliseconds call_timeout);
  // Releases what the office lent us and closes the connection; the office itself stays.
  ~OfficeConnection();
  OfficeConnection(const OfficeConnection&) = delete;
  OfficeConnection& operator=(const OfficeConnection&) = delete;

  // One attempt to connect to the office that accepts connections on pipe_name: false when none
  // does (yet), or the one there is not ready to serve. Throws Failure when this program cannot
  // talk UNO at all, or when the office stopped answering.
  bool TryConnect(const std::string& pipe_name);

  // The office's desktop, once connected. Use it only inside Call.
  css::uno::Reference<css::frame::XDesktop2> Desktop() const;

  // False once the office went away or stopped answering.
  bool Usable() const { return state_ == State::kConnected; }
  // True once a call overran its deadline: the office may still run, but hangs.
  bool TimedOut() const { return timed_out_; }

  // Runs fn on the connection's thread and returns its result. fn must own what it uses (capture
  // by value): after a deadline it may be left running. A failure reported by the office becomes
  // Failure("<what>: <the office's reason>"); a lost or silent office gives kConnectionLost or
  // kStoppedAnswering.
  template <class Function>
  auto Call(std::string_view what, Function fn) -> decltype(fn());

 private:
  struct Link;
  enum class State { kUnconnected, kConnected, kLost, kStuck };

  template <class Function>
  auto RunGuarded(std::string_view what, Function fn) -> decltype(fn());
  void CutOff();
  [[noreturn]] void ThrowCurrentAsFailure(std::string_view what);

  std::chrono::milliseconds call_timeout_;
  CallWorker worker_;
  std::shared_ptr<Link> link_;
  State state_ = State::kUnconnected;
  bool timed_out_ = false;
};

// Text of a UNO string, in UTF-8, and back.
std::string ToUtf8(const rtl::OUString& text);
rtl::OUString FromUtf8(std::string_view text);

template <class Function>
auto OfficeConnection::Call(std::string_view what, Function fn) -> decltype(fn()) {
  if (state_ == State::kStuck) throw Failure(kStoppedAnswering);
  if (state_ != State::kConnected) throw Failure(kConnectionLost);
  return RunGuarded(what, std::move(fn));
}

template <class Function>
auto OfficeConnection::RunGuarded(std::string_view what, Function fn) -> decltype(fn()) {
  using Result = decltype(fn());
  auto task = std::make_shared<std::packaged_task<Result()>>(std::move(fn));
  std::future<Result> result = task->get_future();
  if (!worker_.Run([task] { (*task)(); }, call_timeout_)) {
    CutOff();
    throw Failure(kStoppedAnswering);
  }
  try {
    return result.get();
  } catch (...) {
    ThrowCurrentAsFailure(what);
  }
}

}  // namespace tallowby::calc
