#include "Sys.h"

namespace {

bool gPointerAssociated = true;
int gPointerAssociationCalls = 0;

}  // namespace

void SetPointerAssociated(bool associated) {
  gPointerAssociated = associated;
  ++gPointerAssociationCalls;
}

bool IsPointerAssociated() { return gPointerAssociated; }

int PointerAssociationCallsForTesting() { return gPointerAssociationCalls; }
