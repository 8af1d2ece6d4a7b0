// Where each program offers its dialog templates to the template check: the
// program's resource library holds one registration at namespace scope,
//
//   const platform::dialog::TemplateRegistration kTemplates("tolvane", {&kMainDialog, &kAboutBox});
//
// and its CMake file names the library once with check_dialog_templates(),
// so that the check test links it. The programs themselves never read the
// list.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/template.h"

namespace platform::dialog {

struct ProgramTemplates {
  std::string program;
  std::vector<const DialogTemplate*> templates;
};

class TemplateRegistration {
 public:
  TemplateRegistration(std::string program, std::vector<const DialogTemplate*> templates);
};

// Every registration made, in the order the registrations ran.
const std::vector<ProgramTemplates>& RegisteredTemplates();

}  // namespace platform::dialog
