#include "NamedArray.h"

#include "Errors.h"
#include "NumberText.h"
#include "Strings.h"

namespace namedarray {

SInt32 SetName(StringPtr buffer, ConstStr255Param name, SInt16 index) {
  static const unsigned char kOpen[] = {1, '['};
  static const unsigned char kClose[] = {1, ']'};
  SInt32 result = PStrCopy31(name, buffer);
  if (index < 0) return result;
  PStrAppend31(kOpen, buffer);
  PStrAppendNum31(index, buffer);
  return PStrAppend31(kClose, buffer);
}

void OutOfMemory(ConstStr255Param name) {
  FatalErrorP(PStr("Out of memory, couldn't create array").GetPtr(), name, 0, 1);
}

void CannotRemove(SInt32 n, ConstStr255Param name, UInt32 count) {
  char nText[256];
  char countText[256];
  CStrNum(nText, "%d", n);
  CStrNum(countText, "%u", count);
  CStr nameText(name);
  char message[256];
  JoinCStrs(message, "Can't remove ", nText, " entries from array ", nameText.GetPtr(), "[", countText, "].",
            static_cast<const char*>(nullptr));
  FatalError(message, "", 0, 1);
}

}  // namespace namedarray
