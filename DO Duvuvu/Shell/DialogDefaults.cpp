#include "DialogDefaults.h"

#include "Alerts.h"
#include "DialogItems.h"
#include "Strings.h"

DialogDefaultsRecord DialogDefaults;

void InitDialogDefaults() {
  DialogDefaults.controlEventHandler = DialogControlEventHandler;
  DialogDefaults.passwordPairHandler = PasswordPairEventHandler;
  DialogDefaults.passwordHandler = PasswordEventHandler;
  DialogDefaults.timeoutItem = 0;
  DialogDefaults.keyItem = 0;
  DialogDefaults.delay = 0;
  DialogDefaults.defaultButtonFilter = DefaultButtonKeyFilter;
  DialogDefaults.alertKeyFilter = AlertKeyFilter;
  DialogDefaults.controlFont = ControlFontStyle{255, 0, 12, 0, 0, 0, {0, 0, 0}, {65535, 65535, 65535}};
  ResetAlertDefaults();
}

void ResetAlertDefaults() {
  DialogDefaults.extraWidth = 0;
  DialogDefaults.extraHeight = 0;
  DialogDefaults.extraButtonWidth = 0;
  DialogDefaults.iconID = 65535;
  DialogDefaults.reservedFlag = 0;
  DialogDefaults.iconType = FOUR_CHAR_CODE("????");
  DialogDefaults.cancelAllowed = 1;
  CToPStr("OK", DialogDefaults.defaultText);
  CToPStr("Cancel", DialogDefaults.cancelText);
  DialogDefaults.otherText[0] = 0;
  DialogDefaults.reserved[0] = 0;
  DialogDefaults.reserved[1] = 0;
  DialogDefaults.reserved[2] = 0;
  DialogDefaults.parent = nullptr;
  DialogDefaults.sheet = 0;
  DialogDefaults.dialogHandlerFlag = 1;
}
