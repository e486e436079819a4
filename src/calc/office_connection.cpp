#include "calc/office_connection.h"

#include <climits>
#include <cstdlib>
#include <mutex>

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <osl/module.hxx>
#include <rtl/bootstrap.hxx>

namespace tallowby::calc {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

// How long a call that overran its deadline gets to return once its connection is cut.
constexpr std::chrono::seconds kCutOffGrace{5};

// The folder of the UNO runtime this program is linked to, symbolic links resolved: its ini files
// lie beside it.
std::string UnoRuntimeFolder() {
  using Bootstrap = Reference<css::uno::XComponentContext> (*)();
  rtl::OUString url;
  const Bootstrap function = &cppu::defaultBootstrap_InitialComponentContext;
  if (!osl::Module::getUrlFromAddress(reinterpret_cast<oslGenericFunction>(function), url)) {
    return {};
  }
  rtl::OUString path;
  if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None) return {};
  char resolved[PATH_MAX];
  if (::realpath(ToUtf8(path).c_str(), resolved) == nullptr) return {};
  std::string folder = resolved;
  return folder.substr(0, folder.rfind('/'));
}

// The process's own UNO environment, which the connections to offices go through. Made once: UNO
// reads its bootstrap settings a single time per process, so a failure is final too. Without
// URE_BOOTSTRAP, UNO would look for its settings beside this program and find none.
Reference<css::uno::XComponentContext> LocalContext() {
  static std::mutex mutex;
  // Left alive at exit: tearing UNO down is not this plugin's business.
  static auto* context = new Reference<css::uno::XComponentContext>;
  static std::string problem;
  std::lock_guard lock(mutex);
  if (context->is()) return *context;
  if (problem.empty()) {
    try {
      const std::string folder = UnoRuntimeFolder();
      if (folder.empty()) throw Failure("its folder was not found");
      rtl::OUString ignored;
      if (!rtl::Bootstrap::get("URE_BOOTSTRAP", ignored)) {
        rtl::Bootstrap::set("URE_BOOTSTRAP",
                            FromUtf8("vnd.sun.star.pathname:" + folder + "/fundamentalrc"));
      }
      rtl::OUString unorc;
      osl::FileBase::getFileURLFromSystemPath(FromUtf8(folder + "/unorc"), unorc);
      *context = cppu::defaultBootstrap_InitialComponentContext(unorc);
    } catch (const Failure& failure) {
      problem = failure.Description();
    } catch (const cppu::BootstrapException& error) {
      problem = ToUtf8(error.getMessage());
    } catch (const css::uno::Exception& error) {
      problem = ToUtf8(error.Message);
    }
    if (!context->is() && problem.empty()) problem = "no component context";
  }
  if (!context->is()) {
    throw Failure("LibreOffice could not be started: its UNO runtime could not be set up (" +
                  problem + ").");
  }
  return *context;
}

// The office's wording, without the source position that some builds append to it
// ("... at ./binaryurp/source/bridge.cxx:1048").
std::string ReadableMessage(const rtl::OUString& message) {
  std::string text = ToUtf8(message);
  for (const char* position_mark : {" at /", " at ./"}) {
    const std::size_t position = text.find(position_mark);
    if (position != std::string::npos) text.erase(position);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '.' || text.back() == '\n')) {
    text.pop_back();
  }
  return text.empty() ? "LibreOffice reported an error" : text;
}

}  // namespace

// What the office lent us; touched on the worker thread, except for cutting the connection.
struct OfficeConnection::Link {
  std::mutex mutex;
  Reference<css::lang::XComponent> bridge;
  Reference<css::uno::XComponentContext> context;
  Reference<css::frame::XDesktop2> desktop;

  bool Connect(const rtl::OUString& connect_text) {
    const Reference<css::uno::XComponentContext> local = LocalContext();
    Reference<css::connection::XConnection> connection;
    try {
      connection = css::connection::Connector::create(local)->connect(connect_text);
    } catch (const css::connection::NoConnectException&) {
      return false;
    }
    const Reference<css::bridge::XBridge> new_bridge =
        css::bridge::BridgeFactory::create(local)->createBridge("", "urp", connection, nullptr);
    {
      std::lock_guard lock(mutex);
      bridge.set(new_bridge, UNO_QUERY_THROW);
    }
    try {
      const Reference<css::uno::XComponentContext> office_context(
          new_bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
      const Reference<css::frame::XDesktop2> office_desktop =
          css::frame::Desktop::create(office_context);
      std::lock_guard lock(mutex);
      context = office_context;
      desktop = office_desktop;
      return true;
    } catch (const css::uno::RuntimeException&) {
      // An office that is still setting up or already going away: worth another attempt.
      Release();
      return false;
    }
  }

  // Drops the office's objects and closes the connection; the office may then release ours.
  void Release() {
    Reference<css::lang::XComponent> old_bridge;
    {
      std::lock_guard lock(mutex);
      desktop.clear();
      context.clear();
      old_bridge = std::move(bridge);
      bridge.clear();
    }
    Dispose(old_bridge);
  }

  static void Dispose(const Reference<css::lang::XComponent>& component) {
    if (!component.is()) return;
    try {
      component->dispose();
    } catch (const css::uno::Exception&) {
      // A bridge that is already gone is what was wanted.
    }
  }
};

OfficeConnection::OfficeConnection(std::chrono::milliseconds call_timeout)
    : call_timeout_(call_timeout), link_(std::make_shared<Link>()) {}

OfficeConnection::~OfficeConnection() {
  const std::shared_ptr<Link> link = link_;
  if (state_ == State::kStuck || !worker_.Run([link] { link->Release(); }, call_timeout_)) {
    SigpipeBlock block;
    Reference<css::lang::XComponent> bridge;
    {
      std::lock_guard lock(link->mutex);
      bridge = link->bridge;
    }
    Link::Dispose(bridge);
  }
}

bool OfficeConnection::TryConnect(const std::string& pipe_name) {
  if (state_ == State::kConnected) return true;
  const std::shared_ptr<Link> link = link_;
  const rtl::OUString connect_text = FromUtf8("pipe,name=" + pipe_name);
  const bool connected = RunGuarded("LibreOffice could not be started",
                                    [link, connect_text] { return link->Connect(connect_text); });
  if (connected) state_ = State::kConnected;
  return connected;
}

Reference<css::frame::XDesktop2> OfficeConnection::Desktop() const {
  std::lock_guard lock(link_->mutex);
  return link_->desktop;
}

void OfficeConnection::CutOff() {
  state_ = State::kStuck;
  timed_out_ = true;
  {
    SigpipeBlock block;
    Reference<css::lang::XComponent> bridge;
    {
      std::lock_guard lock(link_->mutex);
      bridge = link_->bridge;
    }
    Link::Dispose(bridge);
  }
  if (worker_.WaitUntilIdle(kCutOffGrace)) state_ = State::kLost;
}

void OfficeConnection::ThrowCurrentAsFailure(std::string_view what) {
  try {
    throw;
  } catch (const Failure&) {
    throw;
  } catch (const css::lang::DisposedException&) {
    state_ = State::kLost;
    throw Failure(kConnectionLost);
  } catch (const css::uno::Exception& error) {
    throw Failure(std::string(what) + ": " + ReadableMessage(error.Message) + ".");
  } catch (...) {
    throw Failure(std::string(what) + ": " + DescribeCurrentException());
  }
}

std::string ToUtf8(const rtl::OUString& text) {
  const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

rtl::OUString FromUtf8(std::string_view text) {
  return rtl::OStringToOUString(rtl::OString(text.data(), static_cast<sal_Int32>(text.size())),
                                RTL_TEXTENCODING_UTF8);
}

}  // namespace tallowby::calc
