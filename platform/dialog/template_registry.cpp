#include "platform/dialog/template_registry.h"

#include <utility>

namespace platform::dialog {
namespace {

// In a function, so that registrations from the initialisers of other
// files' statics find it made.
std::vector<ProgramTemplates>& Registered() {
  static std::vector<ProgramTemplates> registered;
  return registered;
}

}  // namespace

TemplateRegistration::TemplateRegistration(std::string program, std::vector<const DialogTemplate*> templates) {
  Registered().push_back({std::move(program), std::move(templates)});
}

const std::vector<ProgramTemplates>& RegisteredTemplates() { return Registered(); }

}  // namespace platform::dialog
