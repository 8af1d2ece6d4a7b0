// The fixture of the dialog tests: the headless backend in force, the demo
// application, and a check that the script had no faults unless a test
// expects some.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/dialog/backend.h"
#include "platform/dialog/headless/headless_backend.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/demo_dialog.h"

namespace demo {

class ScriptTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (!expectErrors_) {
      for (const std::string& e : backend_.Errors()) ADD_FAILURE() << "script fault: " << e;
      EXPECT_EQ(backend_.PendingEvents(), 0u) << "script events left over";
    }
  }

  static std::string Sj(const char* utf8) { return platform::text::Cp932(utf8); }

  platform::dialog::headless::HeadlessBackend backend_;
  platform::ScopedOverride<platform::dialog::Backend*> inForce_{platform::dialog::BackendInForce(), &backend_};
  DemoApp app_;
  bool expectErrors_ = false;
};

}  // namespace demo
