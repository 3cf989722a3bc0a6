// The resource document, its loader and its lookups. The exports are declared in Skinelle.h.
#pragma once
#include "uDocumentLookup.h"

namespace skinelle {

// Created when the library is loaded, destroyed when it is unloaded.
extern TBinaryTreeDocument100* ResourceDocument;

void InitializeResourceManage();
void FinalizeResourceManage();

}  // namespace skinelle
