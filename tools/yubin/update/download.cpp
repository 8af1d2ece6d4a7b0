#include "tools/yubin/update/download.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstring>  // std::strerror

#include "platform/files/file.h"
#include "tools/yubin/update/sha256.h"

namespace yubin::update {

namespace files = platform::files;

namespace {

// What the callbacks share during one transfer.
struct Transfer {
  const FetchOptions* options = nullptr;
  files::File* body = nullptr;
  const std::string* bodyPath = nullptr;
  long status = 0;
  Validators validators;
  Sha256 digest;
  long long received = 0;
  std::string error;  // set by a callback that stops the transfer
};

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// Each header line; a status line starts the headers of a new answer (after
// a redirect), so what an earlier answer said is dropped.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    size_t space = line.find(' ');
    transfer.status = space == std::string_view::npos ? 0 : std::atol(std::string(line.substr(space + 1, 3)).c_str());
    transfer.validators = {};
  } else if (StartsWithIgnoringCase(line, "last-modified:")) {
    transfer.validators.lastModified = Trimmed(line.substr(14));
  } else if (StartsWithIgnoringCase(line, "etag:")) {
    transfer.validators.etag = Trimmed(line.substr(5));
  }
  return size * count;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  std::string_view bytes(data, size * count);
  if (transfer.status != 200) return bytes.size();  // an error page: dropped
  if (transfer.received == 0 && !bytes.empty()) {
    // Enough to tell a zip archive ("PK\3\4") from a page; a first piece
    // shorter than that is rare enough to be judged by what it holds.
    std::string_view head = bytes.substr(0, 4);
    if (std::string_view("PK\x03\x04", 4).substr(0, head.size()) != head) {
      transfer.error = bytes.front() == '<' ? "the server sent a web page instead of the zip archive"
                                            : "the server sent something that is no zip archive";
      return 0;
    }
  }
  transfer.received += static_cast<long long>(bytes.size());
  if (transfer.received > transfer.options->maxBytes) {
    transfer.error = "the file is larger than " + std::to_string(transfer.options->maxBytes >> 20) + " MiB";
    return 0;
  }
  if (transfer.body == nullptr) return 0;
  if (transfer.body->Write(bytes) < 0) {
    transfer.error = files::HostPathErrorText("write", *transfer.bodyPath, errno);
    return 0;
  }
  transfer.digest.Add(bytes);
  return bytes.size();
}

int OnProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
  auto& transfer = *static_cast<Transfer*>(user);
  if (transfer.options->progress && transfer.status == 200 && now > 0) transfer.options->progress(now, total);
  return 0;
}

bool IsLoopbackHost(std::string_view rest) {
  for (std::string_view host : {"127.", "localhost:", "localhost/", "[::1]"})
    if (rest.starts_with(host)) return true;
  return rest == "localhost";
}

}  // namespace

bool IsAllowedUrl(const std::string& url) {
  if (url.starts_with("https://")) return true;
  return url.starts_with("http://") && IsLoopbackHost(std::string_view(url).substr(7));
}

Fetched Fetch(const std::string& url, const Validators& since, const std::string& bodyTo, const FetchOptions& options,
              std::string& error) {
  Fetched fetched;
  if (!IsAllowedUrl(url)) {
    error = url + ": only https addresses are fetched (plain http only from this machine)";
    return fetched;
  }
  static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  CURL* curl = initialized ? curl_easy_init() : nullptr;
  if (curl == nullptr) {
    error = "the download library could not be started";
    return fetched;
  }
  files::File body;
  if (!bodyTo.empty()) {
    body = files::OpenHostPath(bodyTo, files::kWrite | files::kCreate | files::kTruncate, 0600);
    if (!body.IsOpen()) {
      error = files::HostPathErrorText("create", bodyTo, errno);
      curl_easy_cleanup(curl);
      return fetched;
    }
  }
  Transfer transfer;
  transfer.options = &options;
  transfer.body = bodyTo.empty() ? nullptr : &body;
  transfer.bodyPath = &bodyTo;

  curl_slist* headers = nullptr;
  if (!since.etag.empty()) headers = curl_slist_append(headers, ("If-None-Match: " + since.etag).c_str());
  if (!since.lastModified.empty())
    headers = curl_slist_append(headers, ("If-Modified-Since: " + since.lastModified).c_str());
  bool plain = url.starts_with("http://");
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, plain ? "http" : "https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, plain ? "http" : "https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_NOBODY, bodyTo.empty() ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_FILETIME, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.connectSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, options.lowSpeedSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "yubin-update");
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  char curlError[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);

  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t time = -1;
  curl_easy_getinfo(curl, CURLINFO_FILETIME_T, &time);
  curl_easy_cleanup(curl);
  curl_slist_free_all(headers);

  fetched.validators = transfer.validators;
  fetched.time = time;
  fetched.bytes = transfer.received;
  if (code != CURLE_OK) {
    std::string reason = !transfer.error.empty()            ? transfer.error
                         : code == CURLE_OPERATION_TIMEDOUT ? "the server stopped answering (timed out)"
                         : code == CURLE_PARTIAL_FILE       ? "the download was cut off before its end"
                         : curlError[0] != '\0'             ? std::string(curlError)
                                                            : std::string(curl_easy_strerror(code));
    error = url + ": " + reason;
    return fetched;
  }
  if (status == 304) {
    fetched.result = FetchResult::kNotModified;
  } else if (status == 404 || status == 410) {
    fetched.result = FetchResult::kMissing;
  } else if (status != 200) {
    error = url + ": the server answered with status " + std::to_string(status);
  } else if (!bodyTo.empty() && transfer.received == 0) {
    error = url + ": the server sent an empty file";
  } else if (!bodyTo.empty() && body.Close() != 0) {
    error = files::HostPathErrorText("write", bodyTo, errno);
  } else {
    fetched.result = FetchResult::kFetched;
    if (!bodyTo.empty()) fetched.sha256 = transfer.digest.Hex();
  }
  return fetched;
}

}  // namespace yubin::update
