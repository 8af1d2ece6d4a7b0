#include "platform/startup.h"

#include <gtest/gtest.h>

#include "platform/seam.h"

namespace platform {
namespace {

TEST(Startup, TheHostsLayersComeUp) {
  EXPECT_TRUE(InitialiseSockets());
  EXPECT_TRUE(InitialiseComponents());
}

TEST(Startup, AFailingLayerIsReportedAndRestoredAfterTheScope) {
  {
    ScopedOverride scope(Startup());
    Startup().sockets = [] { return false; };
    EXPECT_FALSE(InitialiseSockets());
    EXPECT_TRUE(InitialiseComponents());
    Startup().components = nullptr;  // a layer that is missing fails too
    EXPECT_FALSE(InitialiseComponents());
  }
  EXPECT_TRUE(InitialiseSockets());
  EXPECT_TRUE(InitialiseComponents());
}

}  // namespace
}  // namespace platform
