// The headless backend in the contract: actions are its script events, time
// is its virtual clock.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "platform/dialog/headless/headless_backend.h"
#include "tests/platform/dialog/contract/backend_driver.h"

namespace contract {

namespace {

std::map<std::string, DriverFactory>& Drivers() {
  static std::map<std::string, DriverFactory> drivers;
  return drivers;
}

using platform::dialog::headless::HeadlessBackend;

class HeadlessDriver final : public BackendDriver {
 public:
  platform::dialog::Backend& TheBackend() override { return backend_; }

  void Click(int id) override { backend_.Click(id); }
  void Tab() override { backend_.Tab(); }
  void Press(platform::dialog::MoveKey key) override { backend_.Key(key); }
  void Enter() override { backend_.Enter(); }
  void Escape() override { backend_.Escape(); }
  void Type(int id, std::string_view cp932) override { backend_.Type(id, cp932); }
  void Menu(int command) override { backend_.MenuCommand(command); }
  void Answer(int button) override { backend_.Answer(button); }
  void WaitUntil(std::function<bool()> ready, int virtualMs, std::string what) override {
    backend_.Wait(virtualMs).Do([ready = std::move(ready), what = std::move(what)] {
      EXPECT_TRUE(ready()) << "after the wait, still not: " << what;
    });
  }
  void Do(std::function<void()> step) override { backend_.Do(std::move(step)); }

  int ShownDefault() override {
    auto* top = backend_.Top();
    return top != nullptr ? top->DefaultButtonShown() : platform::dialog::kNoId;
  }

  bool Finished() override {
    for (const std::string& e : backend_.Errors()) ADD_FAILURE() << "script fault: " << e;
    return backend_.Errors().empty() && backend_.PendingEvents() == 0;
  }

 private:
  HeadlessBackend backend_;
};

const DriverRegistration kHeadless("headless", [] { return std::unique_ptr<BackendDriver>(new HeadlessDriver); });

}  // namespace

// The registry lives here, with the one driver every build has.

DriverRegistration::DriverRegistration(const char* name, DriverFactory make) { Drivers()[name] = make; }

std::vector<std::string> DriverNames() {
  std::vector<std::string> names;
  for (const auto& [name, make] : Drivers()) names.push_back(name);
  return names;
}

std::unique_ptr<BackendDriver> MakeDriver(const std::string& name) {
  auto it = Drivers().find(name);
  return it != Drivers().end() ? it->second() : nullptr;
}

}  // namespace contract
