#include "Strings.h"
#include "System.h"

namespace {

// One slot for the program; empty while the text's length byte is 0.
struct PendingRequest {
  UInt32 number;
  Str31 text;
  UInt32 secondNumber;
};

PendingRequest gPendingRequest;

}  // namespace

void PostPendingRequest(UInt32 number, ConstStr255Param text, UInt32 secondNumber) {
  if (gPendingRequest.text[0] != 0) return;
  gPendingRequest.number = number;
  PStrCopy31(text, gPendingRequest.text);
  gPendingRequest.secondNumber = secondNumber;
}

Boolean TakePendingRequest(UInt32* outNumber, StringPtr outText, UInt32* outSecondNumber) {
  if (gPendingRequest.text[0] == 0) return 0;
  *outNumber = gPendingRequest.number;
  PStrCopy31(gPendingRequest.text, outText);
  *outSecondNumber = gPendingRequest.secondNumber;
  gPendingRequest.text[0] = 0;
  return 1;
}
