// A small HTTP server on 127.0.0.1 for the download tests: one thread,
// one connection at a time, started and stopped by the test. Serves files
// by path, answers conditional requests by ETag, and can misbehave on
// purpose: cut a body short, or never answer. Every wait is bounded.
#pragma once

#include <arpa/inet.h>   // htonl, htons
#include <netinet/in.h>  // sockaddr_in
#include <poll.h>        // poll
#include <sys/socket.h>  // socket, bind, listen, accept
#include <unistd.h>      // close

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
 public:
  enum class Behaviour { kWhole, kCutHalfWay, kSilent };
  struct File {
    std::string body;
    std::string etag;          // empty: none sent
    std::string lastModified;  // empty: none sent
    int status = 200;
    Behaviour behaviour = Behaviour::kWhole;
  };

  LoopbackServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  void Put(const std::string& path, File file) {
    std::lock_guard lock(mutex_);
    files_[path] = std::move(file);
  }
  void Drop(const std::string& path) {
    std::lock_guard lock(mutex_);
    files_.erase(path);
  }
  // "GET path" or "HEAD path", with " 304" for a conditional one answered
  // so, in order.
  std::vector<std::string> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  long long BodyBytesSent() const { return bodyBytes_; }
  void Forget() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    bodyBytes_ = 0;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd ready{listener_, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection < 0) continue;
      // One request a connection (curl opens another for the next).
      Answer(connection);
      close(connection);
    }
  }

  // Reads until the blank line, for at most five seconds.
  static std::string ReadRequest(int connection) {
    std::string request;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 &&
           std::chrono::steady_clock::now() < until) {
      pollfd ready{connection, POLLIN, 0};
      if (poll(&ready, 1, 100) <= 0) continue;
      char buffer[4096];
      ssize_t n = read(connection, buffer, sizeof buffer);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    return request;
  }

  static void Send(int connection, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
      ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
  }

  void Answer(int connection) {
    std::string request = ReadRequest(connection);
    std::string method = request.substr(0, request.find(' '));
    size_t pathStart = method.size() + 1;
    std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
    size_t match = request.find("If-None-Match: ");
    std::string ifNoneMatch =
        match == std::string::npos ? "" : request.substr(match + 15, request.find("\r\n", match) - match - 15);
    File file;
    bool found = false;
    {
      std::lock_guard lock(mutex_);
      auto at = files_.find(path);
      found = at != files_.end();
      if (found) file = at->second;
    }
    std::string headers = "Connection: close\r\n";
    if (found && !file.etag.empty()) headers += "ETag: " + file.etag + "\r\n";
    if (found && !file.lastModified.empty()) headers += "Last-Modified: " + file.lastModified + "\r\n";
    bool notModified = found && !file.etag.empty() && ifNoneMatch == file.etag;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(method + " " + path + (notModified ? " 304" : ""));
    }
    if (found && file.behaviour == Behaviour::kSilent) {
      // Holds the connection without a byte until the client gives up.
      for (int waited = 0; waited < 100 && !stop_; ++waited) {
        pollfd hangUp{connection, POLLIN, 0};
        char byte;
        if (poll(&hangUp, 1, 100) > 0 && recv(connection, &byte, 1, MSG_PEEK) <= 0) return;
      }
      return;
    }
    if (notModified) return Send(connection, "HTTP/1.1 304 Not Modified\r\n" + headers + "\r\n");
    if (!found) file = {"<html><body>Not Found</body></html>", "", "", 404};
    std::string status = std::to_string(file.status) + (file.status == 200 ? " OK" : " Error");
    Send(connection,
         "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + std::to_string(file.body.size()) + "\r\n\r\n");
    if (method == "HEAD") return;
    std::string body = file.behaviour == Behaviour::kCutHalfWay ? file.body.substr(0, file.body.size() / 2) : file.body;
    Send(connection, body);
    bodyBytes_ += static_cast<long long>(body.size());
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_ = false;
  std::atomic<long long> bodyBytes_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::map<std::string, File> files_;
  std::vector<std::string> requests_;
};
