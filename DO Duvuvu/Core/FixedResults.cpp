#include "FixedResults.h"

#include "ResultCodes.h"

OSErr GetSystemAttribute(OSType selector, SInt32* outValue) {
  if (selector == FOUR_CHAR_CODE("sysv")) {
    *outValue = 0x0A00;
    return 0;
  }
  if (selector == FOUR_CHAR_CODE("snd ")) {
    *outValue = 8;
    return 0;
  }
  return kErrFailed;
}

bool IsOSXOrLater() {
  // Asked once; a magic static keeps the first ask safe from any thread.
  static const bool answer = [] {
    SInt32 version = 0;
    return GetSystemAttribute(FOUR_CHAR_CODE("sysv"), &version) == 0 && version > 0x9FF;
  }();
  return answer;
}

Boolean IsTranslatedProcess() {
  static const Boolean answer = [] {
    // The query succeeds without writing, so the value stays "native".
    SInt32 native = 1;
    size_t size = sizeof native;
    return static_cast<Boolean>(QuerySystemControl("sysctl.proc_native", &native, &size, nullptr, 0) == 0 &&
                                native == 0);
  }();
  return answer;
}

namespace {
Boolean gProcessorServicesStarted = 0;  // set once, read by nothing
}  // namespace

OSErr InitProcessorServices() {
  gProcessorServicesStarted = 1;
  return 0;
}

Boolean PointInRegionAt(SInt16, SInt16, void*) { return 0; }

SInt32 QuerySystemControl(const char*, void*, size_t*, const void*, size_t) { return 0; }

OSErr ShowDebuggerMessage(ConstStr255Param) { return 0; }

Boolean LockPixMapPixels(PixMapHandle) { return 1; }

OSErr CloseComponentInstance(void*) { return kErrInvalidComponent; }

OSStatus CreateNibReference(const void*, void**) { return kErrNibFileNotFound; }

OSStatus CreateWindowFromNib(void*, const void*, void**) { return kErrNibObjectNotFound; }

// Answers 0: no error, nil, false or a count of 0.
void* GetKeyboardLayoutPtr(SInt16) { return nullptr; }
SInt16 GetPowerManagerSelectorCount() { return 0; }
OSStatus SetStandardCursor(UInt32) { return 0; }
SInt32 QueryMouseState() { return 0; }
OSErr GetNextProcessSerial(ProcessSerialNumber*) { return 0; }
OSErr InstallAppleEventHandler(OSType, OSType, AppleEventHandlerProc, void*, Boolean) { return 0; }
OSErr GetAppleEventHandler(OSType, OSType, AppleEventHandlerProc*, void**, Boolean) { return 0; }
OSErr CreateDescriptor(OSType, const void*, SInt32, void*) { return 0; }
OSErr AEDisposeDesc(void*) { return 0; }
OSErr AECountItems(const void*, SInt32*) { return 0; }
OSErr GetNthDescriptorItem(const void*, SInt32, OSType, OSType*, OSType*, void*, SInt32, SInt32*) { return 0; }
OSErr CreateAppleEvent(OSType, OSType, const void*, SInt16, SInt32, void*) { return 0; }
OSErr PutAppleEventParam(void*, OSType, OSType, const void*, SInt32) { return 0; }
OSErr AEGetParamDesc(const void*, OSType, OSType, void*) { return 0; }
OSErr SendAppleEvent(const void*, void*, SInt32, SInt16, SInt32, InteractionIdleProc, void*) { return 0; }
OSErr RequestUserInteraction(SInt32, void*, InteractionIdleProc) { return 0; }
void* CreateEscapedURLString(void*, const void*, const void*, const void*, UInt32) { return nullptr; }
OSErr OpenSharedLibrary(ConstStr255Param, OSType, SInt32, void**, void**, StringPtr) { return 0; }
OSErr CloseSharedLibrary(void**) { return 0; }
OSErr FindSharedLibrarySymbol(void*, ConstStr255Param, void**, UInt8*) { return 0; }
void* OpenComponentByType(OSType, OSType) { return nullptr; }
SInt32 GetObjectArrayCount(const void*) { return 0; }
const void* GetObjectArrayItem(const void*, SInt32) { return nullptr; }
void* CreateBundlesInDirectory(void*, const void*, const void*) { return nullptr; }
const void* GetBundleInfoValue(void*, const void*) { return nullptr; }
const void* GetDictionaryValue(const void*, const void*) { return nullptr; }
Boolean GetNumberValue(const void*, SInt32, void*) { return 0; }
OSStatus CreateCustomControl(void*, const Rect*, const void*, const void*, void**) { return 0; }
OSStatus NewControlFromDefinition(void*, const Rect*, const void*, void**) { return 0; }
OSErr SetControlVisible(void*, Boolean, Boolean) { return 0; }
OSErr EnableControl(void*) { return 0; }
OSErr DisableControl(void*) { return 0; }
OSErr ApplyControlFontStyle(void*, const void*) { return 0; }
void* FindControlAtPoint(Point, void*, SInt16*) { return nullptr; }
SInt32 GetControlValue(void*) { return 0; }
SInt32 GetControlMinimum(void*) { return 0; }
SInt32 GetControlMaximum(void*) { return 0; }
OSErr GetControlIdentifier(void*, void*) { return 0; }
OSErr FindControlByID(void*, const void*, void**) { return 0; }
OSErr SetControlCommandID(void*, UInt32) { return 0; }
OSErr GetControlCommandID(void*, UInt32*) { return 0; }
OSErr GetControlKindInfo(void*, void*) { return 0; }
OSErr GetWindowRootControl(void*, void**) { return 0; }
OSErr CountChildControls(void*, UInt16*) { return 0; }
OSErr GetChildControl(void*, UInt16, void**) { return 0; }
OSErr SetControlFocus(void*, void*, SInt16) { return 0; }
OSErr ClearWindowKeyboardFocus(void*) { return 0; }
OSErr SetControlTaggedData(void*, SInt16, OSType, SInt32, const void*) { return 0; }
OSErr GetControlTaggedData(void*, SInt16, OSType, SInt32, void*, SInt32*) { return 0; }
Rect* GetControlBoundsRect(void*, Rect*) { return nullptr; }
Boolean IsControlDisabled(void*) { return 0; }
void* GetControlOwnerWindow(void*) { return nullptr; }
OSErr SetControlContent(void*, const void*) { return 0; }
OSStatus CreateTextFieldControl(void*, const Rect*, const void*, Boolean, const void*, void**) { return 0; }
void* CreateDialogWindow(SInt16, void*, void*) { return nullptr; }
SInt16 ShowAlertByID(SInt16, void*) { return 0; }
OSErr GetStandardFilterProc(void**) { return 0; }
OSStatus RunAlertDialog(void*, SInt16*) { return 0; }
void* GetWindowOfDialog(void*) { return nullptr; }
void* GetFirstDisplayDevice(Boolean) { return nullptr; }
void* GetNextDisplayDevice(void*, Boolean) { return nullptr; }
OSErr SetDisplayModeOfDevice(void*, UInt32, UInt32*) { return 0; }
OSErr GetDisplayIDOfDevice(void*, UInt32*) { return 0; }
OSErr NewDisplayModeList(void*, const void*, UInt32, void**, UInt32*) { return 0; }
OSErr EnumDisplayModeList(void*, void*, void*) { return 0; }
OSErr GetCurrentDisplayMode(void*, void*) { return 0; }
Boolean DeviceHasDepth(void*, SInt16, SInt16, SInt16) { return 0; }
void* AllocPalette(SInt16, void*, SInt16, SInt16) { return nullptr; }
OSErr GetIconSuite(void**, SInt16, UInt32) { return 0; }
OSErr GetIconRef(SInt16, OSType, OSType, void**) { return 0; }
OSErr ReleaseIconRef(void*) { return 0; }
OSErr RegisterIconFromResource(OSType, OSType, SInt16, SInt16, void**) { return 0; }
OSErr GetFileControlBlockSpec(SInt16, void*) { return 0; }
OSStatus OpenInternetPrefs(OSType, void**) { return 0; }
OSStatus CloseInternetPrefs(void*) { return 0; }
OSStatus GetInternetPref(void*, ConstStr255Param, UInt32*, void*, SInt32*) { return 0; }
OSStatus SetInternetPref(void*, ConstStr255Param, UInt32, const void*, SInt32) { return 0; }
OSStatus DeleteInternetPref(void*, ConstStr255Param) { return 0; }
OSStatus OpenItemByFileRef(const void*, void**) { return 0; }
OSStatus LaunchServiceFindURL(const void*, UInt32, void**, void**) { return 0; }
OSErr LaunchServiceCreateDesc(OSType, const void*, SInt32, void*) { return 0; }
OSErr LaunchServicePutParam(void*, OSType, const void*) { return 0; }
OSErr LaunchServiceDisposeDesc(void*) { return 0; }
OSErr LaunchServiceCreateRequest(OSType, OSType, const void*, void*) { return 0; }
OSErr LaunchServiceSendRequest(const void*, void*, SInt32) { return 0; }
OSStatus SetTextObjectControls(void*, UInt32, const void*, const void*) { return 0; }
OSStatus GetTextObjectControls(void*, UInt32, const void*, void*) { return 0; }
OSStatus SetTextObjectData(void*, OSType, const void*, SInt32, UInt32, UInt32) { return 0; }
void* GetTextViewObject(void*) { return nullptr; }
Handle GetTextEditTextHandle(void*) { return nullptr; }
void* NewTextEdit(const Rect*, const Rect*) { return nullptr; }
Handle GetTextEditStyleScrap(void*) { return nullptr; }
OSStatus NavGetDefaultDialogOptions(void*) { return 0; }
OSErr NavChooseFile(const void*, void*, const void*, void*, void*, void*, const void*, void*) { return 0; }
OSErr NavChooseResourceFile(const void*, void*, const void*, void*, void*, void*, const void*, void*) { return 0; }
OSErr NavDisposeReply(void*) { return 0; }

// No effect.
void CGWarpMouseCursorPosition(double, double) {}
void CGGetLastMouseDelta(SInt32*, SInt32*) {}
void CGInhibitLocalEvents(Boolean) {}
void CGSetLocalEventsSuppressionInterval(double) {}
void CGPostKeyboardEvent(UInt16, UInt16, Boolean) {}
void HSLToRGBColor(const void*, void*) {}
void RGBToHSLColor(const void*, void*) {}
void FreePalette(void*) {}
void AttachPaletteToWindow(void*, void*) {}
void ActivatePaletteUpdates(void*) {}
void CopyCTableToPalette(void*, void*, SInt16, SInt16) {}
void CopyPaletteToCTable(void*, void*) {}
void SaveForeColor(void*) {}
void RestoreForeColor(const void*) {}
void UnlockPixMapPixels(PixMapHandle) {}
void ReleaseCustomControl(void*) {}
void HideControl(void*) {}
void RedrawControl(void*) {}
void MoveControlTo(void*, SInt16, SInt16) {}
void SetControlTitleText(void*, ConstStr255Param) {}
void GetControlTitleText(void*, StringPtr) {}
void SetControlValue(void*, SInt32) {}
void SetControlMinimum(void*, SInt32) {}
void SetControlMaximum(void*, SInt32) {}
void AppendResourceMenuItems(void*, OSType) {}
void DisposeDialogWindow(void*) {}
void InitStartupServices() {}
void DisposeNibReference(void*) {}
void DisposeTextEdit(void*) {}
void SetTextEditText(void*, const void*, SInt32) {}
void TextEditIdle(void*) {}
void SetTextEditSelection(void*, SInt32, SInt32) {}
void ActivateTextEdit(void*) {}
void DeactivateTextEdit(void*) {}
void TextEditKeyPress(void*, SInt16) {}
void CutTextEditSelection(void*) {}
void CopyTextEditSelection(void*) {}
void SetTextEditAlignment(void*, SInt16) {}
void UpdateTextEdit(void*, const Rect*) {}
void RecalcTextEditLines(void*) {}
void TextEditClick(void*, Point, Boolean) {}
void PasteIntoTextEdit(void*) {}
void SetTextEditStyle(void*, SInt16, const void*, Boolean) {}
void ApplyTextEditStyleScrap(void*, SInt32, SInt32, Handle, Boolean) {}
void InstallTimeTask(void*) {}
void PrimeTimeTask(void*, SInt32) {}
void RemoveTimeTask(void*) {}

Fixed FractToFixed(Fract) { return 0; }
Fract FixedCosine(Fixed) { return 0; }
Fract FixedSine(Fixed) { return 0; }
Fract FractSquareRoot(Fract) { return 0; }
Fixed IntToFixed(SInt16) { return 0; }
