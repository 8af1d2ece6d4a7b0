// One file fetched from the postal authority's server (or a mirror) with
// libcurl: into a host file of the caller's, never over the file in use.
// Conditional requests carry the validators a workspace kept; the body is
// refused when it does not start as a zip archive (a server's HTML page
// answered with status 200), and a server that stops sending for the low-
// speed time, or cannot be reached in the connect time, ends the transfer
// with a reason. Plain http is taken only for a loopback address (a test's
// or a local mirror's); everything else must be https. Does not look
// inside the archive.
#pragma once

#include <functional>
#include <string>

namespace yubin::update {

// What a server said about a file, to ask next time whether it changed.
struct Validators {
  std::string lastModified;  // the Last-Modified header as sent
  std::string etag;          // the ETag header as sent
};

struct FetchOptions {
  long connectSeconds = 30;
  long lowSpeedSeconds = 60;  // fewer than one byte a second for this long ends it
  long long maxBytes = 512LL << 20;
  // Called as bytes arrive: received so far and the size announced (0 when
  // none was).
  std::function<void(long long received, long long total)> progress;
};

enum class FetchResult {
  kFetched,      // the body is in the file
  kNotModified,  // 304: what the validators name is still current
  kMissing,      // 404 or 410: no such file on the server
  kFailed,       // see the error
};

struct Fetched {
  FetchResult result = FetchResult::kFailed;
  Validators validators;  // those of the answer
  long long time = -1;    // Last-Modified as seconds since the epoch, or -1
  long long bytes = 0;
  std::string sha256;  // of the body, for kFetched
};

// Sends a GET (or a HEAD when `bodyTo` is empty) for `url`, conditional on
// `since` when it holds a validator, and writes the body to the host file
// `bodyTo`. On kFailed `error` says what failed; the file may then hold part
// of a body and is the caller's to remove.
Fetched Fetch(const std::string& url, const Validators& since, const std::string& bodyTo, const FetchOptions& options,
              std::string& error);

// Whether `url` may be fetched: https, or http to a loopback address.
bool IsAllowedUrl(const std::string& url);

}  // namespace yubin::update
