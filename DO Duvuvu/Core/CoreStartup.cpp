#include "NumberText.h"
#include "Startup.h"

void RegisterCoreStartup() {
  AddStartupEntry({"Base64 alphabet", InitBase64Alphabet, ReleaseBase64Alphabet});
}
