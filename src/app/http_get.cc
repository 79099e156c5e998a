#include "app/http_get.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace hovra::app {
namespace {

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

void InitialiseCurlOnce() {
  // Not thread-safe itself, so done once before the first transfer of any thread.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

std::optional<std::string> HttpGet(const std::string& url, const HttpLimits& limits,
                                   std::string& error) {
  InitialiseCurlOnce();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    error = "cannot start an HTTP transfer";
    return std::nullopt;
  }
  Body body{{}, limits.maxBodyBytes};
  char detail[CURL_ERROR_SIZE] = {};
  CURL* handle = curl.get();
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
  CURLcode code = curl_easy_perform(handle);
  if (code != CURLE_OK) {
    error = detail[0] != '\0' ? detail : curl_easy_strerror(code);
    return std::nullopt;
  }
  return std::move(body.text);
}

}  // namespace hovra::app
