#include "uResourceManage.h"

namespace skinelle {

TBinaryTreeDocument100* ResourceDocument = nullptr;

void InitializeResourceManage() { ResourceDocument = new TBinaryTreeDocument100(); }

void FinalizeResourceManage() {
  delete ResourceDocument;
  ResourceDocument = nullptr;
}

}  // namespace skinelle

using skinelle::ResourceDocument;

// Loading resources tells nobody, whatever the outcome.
extern "C" SkinelleBool SKINELLE_CALL LoadResFile(const SkinelleChar* FileName) {
  return skinelle::LoadDocumentFile(ResourceDocument, skinelle::PathText(FileName));
}

SKINELLE_LOOKUP_EXPORTS(Res, ResourceDocument)
