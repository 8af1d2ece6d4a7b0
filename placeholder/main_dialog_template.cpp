// Dialog 102, the placeholder's one dialog: its text and the end button.
#include "placeholder/templates.h"

#include "placeholder/resource.h"

namespace placeholder {

using namespace platform::dialog;

const DialogTemplate kPlaceholderDialog = {.id = kPlaceholderDialogId,
                                           .caption = "vesk",
                                           .width = 186,
                                           .height = 45,
                                           .font = {"ＭＳ Ｐゴシック", 9},
                                           .style = kCaption | kSystemMenu | kTaskBar,
                                           .controls = {
                                               Label("yubin（仮称）ダミープログラム", {7, 18, 128, 8}),
                                               PushButton(kIdOk, "終了", {152, 7, 27, 31}, kDefault | kTabStop),
                                           }};

}  // namespace placeholder
