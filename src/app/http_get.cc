#include "app/http_get.h"

#include <curl/curl.h>

#include <memory>

namespace hovra::app {
namespace {

constexpr int kWaitSliceMs = 1000;  // a wait for the network ends at least this often

struct Body {
  std::string text;
  size_t limit = 0;
};

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  size_t bytes = size * count;
  if (body->text.size() + bytes > body->limit) return 0;  // makes the transfer fail
  body->text.append(data, bytes);
  return bytes;
}

// libcurl asks this now and then during the transfer; non-zero aborts it.
int AbortWhenCancelled(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancel = static_cast<const HttpCancel*>(user);
  return cancel != nullptr && cancel->Cancelled() ? 1 : 0;
}

void InitialiseCurlOnce() {
  // Not thread-safe itself, so done once before the first transfer of any thread.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void SetOptions(CURL* handle, const std::string& url, const HttpLimits& limits, Body& body,
                char* detail, HttpCancel* cancel) {
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, detail);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: threads
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total.count()));
  // The address comes from the command line: never let it read files or other schemes.
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, AbortWhenCancelled);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, cancel);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
}

}  // namespace

// Runs one transfer on a multi handle, so that a cancellation can wake its wait.
class HttpTransfer {
 public:
  static CURLcode Run(CURL* easy, HttpCancel* cancel) {
    std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(),
                                                                curl_multi_cleanup);
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
    if (cancel != nullptr) {
      std::lock_guard<std::mutex> lock(cancel->mutex_);
      cancel->waiting_ = multi.get();
    }
    CURLcode result = CURLE_OK;
    for (int running = 1; running > 0;) {
      if (cancel != nullptr && cancel->Cancelled()) {
        result = CURLE_ABORTED_BY_CALLBACK;
        break;
      }
      if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
        result = CURLE_RECV_ERROR;
        break;
      }
      if (running > 0) curl_multi_poll(multi.get(), nullptr, 0, kWaitSliceMs, nullptr);
    }
    if (cancel != nullptr) {
      std::lock_guard<std::mutex> lock(cancel->mutex_);
      cancel->waiting_ = nullptr;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
      if (message->msg == CURLMSG_DONE) result = message->data.result;
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
  }
};

void HttpCancel::Cancel() {
  cancelled_.store(true, std::memory_order_release);
  std::lock_guard<std::mutex> lock(mutex_);
  if (waiting_ != nullptr) curl_multi_wakeup(static_cast<CURLM*>(waiting_));
}

std::optional<std::string> HttpGet(const std::string& url, const HttpLimits& limits,
                                   std::string& error, HttpCancel* cancel) {
  InitialiseCurlOnce();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    error = "cannot start an HTTP transfer";
    return std::nullopt;
  }
  Body body{{}, limits.maxBodyBytes};
  char detail[CURL_ERROR_SIZE] = {};
  SetOptions(curl.get(), url, limits, body, detail, cancel);
  CURLcode code = HttpTransfer::Run(curl.get(), cancel);
  if (cancel != nullptr && cancel->Cancelled()) {
    error = "cancelled";
    return std::nullopt;
  }
  if (code != CURLE_OK) {
    error = detail[0] != '\0' ? detail : curl_easy_strerror(code);
    return std::nullopt;
  }
  return std::move(body.text);
}

}  // namespace hovra::app
