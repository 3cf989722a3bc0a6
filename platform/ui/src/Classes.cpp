#include "ui/Classes.h"

#include "platform/except.h"

namespace ui {

void TPersistent::Assign(const TPersistent* source) {
  throw plat::Exception(plat::Format("Cannot assign a %s to a %s",
                                     source ? source->ClassName() : "nil", ClassName()));
}

}  // namespace ui
