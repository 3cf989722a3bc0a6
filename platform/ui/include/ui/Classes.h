// Objects that can copy one another.
#pragma once
#include "ui/Controls.h"

namespace ui {

class TPersistent : public TObject {
public:
  // Copies source into this object. The base knows no copy: it fails with
  // "Cannot assign a <source class> to a <this class>" ("nil" without a source).
  virtual void Assign(const TPersistent* source);
  virtual const char* ClassName() const { return "TPersistent"; }
};

}  // namespace ui
