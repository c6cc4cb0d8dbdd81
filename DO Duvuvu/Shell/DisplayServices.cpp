#include "DisplayServices.h"

namespace {

DisplayServices gServices;

}  // namespace

void RegisterDisplayServices(const DisplayServices* services) { gServices = services ? *services : DisplayServices{}; }

const DisplayServices& GetDisplayServices() { return gServices; }
