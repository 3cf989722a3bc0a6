// Placeholder until the number-selection dialog lands: keeps the program linkable.
#include "SelectIDFrm.h"

std::vector<std::string> NumberList;

void CreateSelectIDForm(const std::string& friendName) {
  (void)friendName;
}
