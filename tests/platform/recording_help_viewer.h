// A help viewer for tests: records what it was asked to show and how often
// it was told to quit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/help_viewer.h"

class RecordingHelpViewer : public platform::HelpViewer {
 public:
  int ShowContents(std::string_view path) override {
    shown.emplace_back(path);
    return 1;
  }
  int Quit() override { return ++quits; }

  std::vector<std::string> shown;
  int quits = 0;
};
