// Runs the template check over every dialog template that a program offers
// (template_registry.h): a duplicate ID or a control outside its dialog
// fails here, before any window shows it.
#include <gtest/gtest.h>

#include <string>

#include "platform/dialog/template_registry.h"

namespace platform::dialog {
namespace {

TEST(DialogTemplates, EveryProgramsTemplatesAreSound) {
  ASSERT_FALSE(RegisteredTemplates().empty());
  for (const ProgramTemplates& program : RegisteredTemplates()) {
    EXPECT_FALSE(program.templates.empty()) << program.program;
    for (const DialogTemplate* t : program.templates)
      for (const std::string& problem : TemplateProblems(*t)) ADD_FAILURE() << program.program << ", " << problem;
  }
}

}  // namespace
}  // namespace platform::dialog
