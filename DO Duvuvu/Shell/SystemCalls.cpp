#include "SystemCalls.h"

#include "FileClass.h"
#include "FixedResults.h"
#include "ProcessBundle.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "Menus.h"

SystemCallTable gSystemCalls;

namespace {

// Fixed results for the routines the foundation has no named entry for.
ControlRef NoControl(WindowRef, const Rect*, ConstStr255Param, Boolean, SInt16, SInt16, SInt16, SInt16, SInt32) {
  return nullptr;
}
void Ignore(ControlRef) {}
void IgnoreBounds(ControlRef, const Rect*) {}
OSErr NoKind(ControlRef, ControlKind*) { return 0; }
OSErr NoRoot(WindowRef, ControlRef*) { return 0; }
OSErr NoChild(ControlRef, UInt16, ControlRef*) { return 0; }
OSErr NoControlByID(WindowRef window, const void* id, ControlRef* out) { return FindControlByID(window, id, out); }
OSErr NoFocus(WindowRef window, ControlRef control, SInt16 part) { return SetControlFocus(window, control, part); }
OSErr NoClearFocus(WindowRef window) { return ClearWindowKeyboardFocus(window); }
ControlRef NoControlAt(Point where, WindowRef window, SInt16* part) { return FindControlAtPoint(where, window, part); }
WindowRef NoOwner(ControlRef control) { return static_cast<WindowRef>(GetControlOwnerWindow(control)); }
OSStatus NoClass(const char*, EventHandlerProcPtr, void**) { return 0; }
void NoUnregister(void*) {}
OSStatus NoCustom(WindowRef window, const Rect* bounds, void* cls, ControlRef* out) {
  return CreateCustomControl(window, bounds, cls, nullptr, out);
}
void* NoTextObject(ControlRef control) { return GetTextViewObject(control); }
OSStatus NoOption(void*, OSType, UInt32*) { return 0; }
OSStatus NoSetOption(void*, OSType, UInt32) { return 0; }
void NoUpdate(void*) {}
OSErr NoFamily(SInt16 id, UInt32 selector, void** out) { return GetIconSuite(out, id, selector); }
OSStatus NoNibWindow(void* nib, const void* name, WindowRef* out) {
  return CreateWindowFromNib(nib, name, reinterpret_cast<void**>(out));
}
OSStatus NoSheet(WindowRef, WindowRef) { return 0; }
OSStatus NoHide(WindowRef) { return 0; }
// The modal loop returns at once: nothing ends a run here.
OSStatus NoModalLoop(WindowRef) { return 0; }
OSStatus NoTimer(double, double, void (*)(void*, void*), void*, void**) { return 0; }
OSStatus NoRemoveTimer(void*) { return 0; }
void NoBeep() {}
// Only the current process answers here, and with no type or signature.
OSErr ProcessQuery(const ProcessSerialNumber* serial, OSType*, OSType*) {
  ProcessInfoRec info{nullptr, nullptr};
  return GetProcessInfo(serial, &info);
}
// Nothing is launched: the platform has no launch call.
OSErr NoLaunch(const FileClass*) { return kErrFailed; }
void* NoBundles(const URLObject* folder) { return CreateBundlesInDirectory(nullptr, folder, nullptr); }
BundleObject* NoBundleAt(const void* list, SInt32 index) {
  return static_cast<BundleObject*>(const_cast<void*>(GetObjectArrayItem(list, index)));
}
const RefObject* NoInfoValue(const BundleObject* bundle, const StringObject* key) {
  return static_cast<const RefObject*>(GetBundleInfoValue(const_cast<BundleObject*>(bundle), key));
}
void NoRelease(void*) {}
void* NoMenu(SInt16 id) { return GetMenuByID(id); }
void NoMenuTitle(void*, StringPtr) {}
void NoSelection(void*, SInt16*, SInt16*) {}
const UInt8* NoBytes(void*, SInt32*) { return nullptr; }
Handle NoResource(OSType, SInt16) { return nullptr; }
void NoReleaseResource(Handle) {}
PortDrawingProcs* NoPortProcs() { return nullptr; }
void NoProcs(PortDrawingProcs*) {}

}  // namespace

void ResetSystemCalls() {
  SystemCallTable& t = gSystemCalls;
  t.newControl = NoControl;
  t.disposeControl = Ignore;
  t.setControlData = [](ControlRef c, SInt16 part, OSType tag, SInt32 size, const void* data) {
    return SetControlTaggedData(c, part, tag, size, data);
  };
  t.getControlData = [](ControlRef c, SInt16 part, OSType tag, SInt32 bufferSize, void* buffer, SInt32* outSize) {
    return GetControlTaggedData(c, part, tag, bufferSize, buffer, outSize);
  };
  t.setControlCommandID = [](ControlRef c, UInt32 command) { return SetControlCommandID(c, command); };
  t.getControlCommandID = [](ControlRef c, UInt32* out) { return GetControlCommandID(c, out); };
  t.getControlKind = NoKind;
  t.getControlValue = [](ControlRef c) { return GetControlValue(c); };
  t.getControlMinimum = [](ControlRef c) { return GetControlMinimum(c); };
  t.getControlMaximum = [](ControlRef c) { return GetControlMaximum(c); };
  t.setControlValue = [](ControlRef c, SInt32 v) { SetControlValue(c, v); };
  t.setControlMinimum = [](ControlRef c, SInt32 v) { SetControlMinimum(c, v); };
  t.setControlMaximum = [](ControlRef c, SInt32 v) { SetControlMaximum(c, v); };
  t.drawControl = [](ControlRef c) { RedrawControl(c); };
  t.hideControl = [](ControlRef c) { HideControl(c); };
  t.setControlVisible = [](ControlRef c, Boolean visible, Boolean draw) { return SetControlVisible(c, visible, draw); };
  t.enableControl = [](ControlRef c) { return EnableControl(c); };
  t.disableControl = [](ControlRef c) { return DisableControl(c); };
  t.isControlDisabled = [](ControlRef c) { return IsControlDisabled(c); };
  t.getControlBounds = [](ControlRef c, Rect* out) { return GetControlBoundsRect(c, out); };
  t.setControlBounds = IgnoreBounds;
  t.getControlOwner = NoOwner;
  t.applyControlFontStyle = [](ControlRef c, const void* style) { return ApplyControlFontStyle(c, style); };
  t.setControlContent = [](ControlRef c, const void* content) { return SetControlContent(c, content); };
  t.getControlTitle = [](ControlRef c, StringPtr out) { GetControlTitleText(c, out); };
  t.setControlTitle = [](ControlRef c, ConstStr255Param title) { SetControlTitleText(c, title); };
  t.getRootControl = NoRoot;
  t.countSubControls = [](ControlRef c, UInt16* out) { return CountChildControls(c, out); };
  t.getIndexedSubControl = NoChild;
  t.getControlByID = NoControlByID;
  t.getControlID = [](ControlRef c, void* out) { return GetControlIdentifier(c, out); };
  t.setKeyboardFocus = NoFocus;
  t.clearKeyboardFocus = NoClearFocus;
  t.findControlUnderMouse = NoControlAt;
  t.registerControlClass = NoClass;
  t.unregisterControlClass = NoUnregister;
  t.createCustomControl = NoCustom;
  t.releaseControl = [](ControlRef c) { ReleaseCustomControl(c); };
  t.getMenu = NoMenu;
  t.getMenuTitle = NoMenuTitle;
  t.getTextObject = NoTextObject;
  t.setTextObjectData = [](void* o, OSType type, const void* data, SInt32 size, UInt32 start, UInt32 end) {
    return SetTextObjectData(o, type, data, size, start, end);
  };
  t.getTextObjectOption = NoOption;
  t.setTextObjectOption = NoSetOption;
  t.updateTextObject = NoUpdate;
  t.getIconRef = [](SInt16 volume, OSType creator, OSType type, void** out) {
    return GetIconRef(volume, creator, type, out);
  };
  t.releaseIconRef = [](void* icon) { return ReleaseIconRef(icon); };
  t.getIconFamily = NoFamily;
  t.createNibReference = [](const void* name, void** out) { return CreateNibReference(name, out); };
  t.createWindowFromNib = NoNibWindow;
  t.disposeNibReference = [](void* nib) { DisposeNibReference(nib); };
  t.showSheetWindow = NoSheet;
  t.hideSheetWindow = NoHide;
  t.runAppModalLoop = NoModalLoop;
  t.quitAppModalLoop = NoHide;
  t.installEventLoopTimer = NoTimer;
  t.removeEventLoopTimer = NoRemoveTimer;
  t.compileScript = [](void*, const char*, SInt32, void**) -> OSErr { return 0; };
  t.executeScript = [](void*, void*, void**) -> OSErr { return 0; };
  t.getParamDesc = [](const void* event, OSType keyword, OSType type, void* out) {
    return AEGetParamDesc(event, keyword, type, out);
  };
  t.countItems = [](const void* list, SInt32* out) { return AECountItems(list, out); };
  t.getNthItem = [](const void* list, SInt32 index, OSType type, OSType* keyword, OSType* outType, void* buffer,
                    SInt32 size, SInt32* actual) {
    return GetNthDescriptorItem(list, index, type, keyword, outType, buffer, size, actual);
  };
  t.getStandardFilterProc = [](void** out) { return GetStandardFilterProc(out); };
  t.beep = NoBeep;
  t.getSystemAttribute = GetSystemAttribute;
  t.createDescriptor = [](OSType type, const void* data, SInt32 size, EventDescriptor* out) {
    return CreateDescriptor(type, data, size, out);
  };
  t.createAppleEvent = [](OSType eventClass, OSType eventID, const EventDescriptor* target, SInt16 returnID,
                          SInt32 transactionID, EventDescriptor* out) {
    return CreateAppleEvent(eventClass, eventID, target, returnID, transactionID, out);
  };
  t.putParam = [](EventDescriptor* event, OSType keyword, OSType type, const void* data, SInt32 size) {
    return PutAppleEventParam(event, keyword, type, data, size);
  };
  t.sendAppleEvent = [](const EventDescriptor* event, EventDescriptor* reply, SInt32 mode, SInt16 priority,
                        SInt32 timeout) {
    return SendAppleEvent(event, reply, mode, priority, timeout, nullptr, nullptr);
  };
  t.disposeDescriptor = [](EventDescriptor* descriptor) { return AEDisposeDesc(descriptor); };
  t.getNextProcess = GetNextProcessSerial;
  t.getProcessTypeAndSignature = ProcessQuery;
  t.launchApplication = NoLaunch;
  t.openItem = [](const FileSpec* item) { return OpenItemByFileRef(item, nullptr); };
  t.openInternetPrefs = OpenInternetPrefs;
  t.closeInternetPrefs = CloseInternetPrefs;
  t.getInternetPref = GetInternetPref;
  t.setInternetPref = SetInternetPref;
  t.deleteInternetPref = DeleteInternetPref;
  t.createBundlesInDirectory = NoBundles;
  t.countBundles = GetObjectArrayCount;
  t.getBundleAt = NoBundleAt;
  t.getBundleInfoValue = NoInfoValue;
  t.releaseBundleList = NoRelease;
  t.newTextEdit = NewTextEdit;
  t.disposeTextEdit = DisposeTextEdit;
  t.activateTextEdit = ActivateTextEdit;
  t.deactivateTextEdit = DeactivateTextEdit;
  t.textEditIdle = TextEditIdle;
  t.textEditClick = TextEditClick;
  t.textEditKeyPress = TextEditKeyPress;
  t.setTextEditText = SetTextEditText;
  t.setTextEditSelection = SetTextEditSelection;
  t.getTextEditSelection = NoSelection;
  t.getTextEditBytes = NoBytes;
  t.setTextEditAlignment = SetTextEditAlignment;
  t.setTextEditStyle = SetTextEditStyle;
  t.applyTextEditStyleScrap = ApplyTextEditStyleScrap;
  t.getTextEditTextHandle = GetTextEditTextHandle;
  t.getTextEditStyleScrap = GetTextEditStyleScrap;
  t.cutTextEditSelection = CutTextEditSelection;
  t.copyTextEditSelection = CopyTextEditSelection;
  t.pasteIntoTextEdit = PasteIntoTextEdit;
  t.recalcTextEditLines = RecalcTextEditLines;
  t.updateTextEdit = UpdateTextEdit;
  t.getResource = NoResource;
  t.releaseResource = NoReleaseResource;
  t.getPortDrawingProcs = NoPortProcs;
  t.standardDrawingProcs = NoProcs;
  t.setPortDrawingProcs = NoProcs;
}

namespace {
// Filled before main so the table is never empty.
struct FillSystemCalls {
  FillSystemCalls() { ResetSystemCalls(); }
} gFillSystemCalls;
}  // namespace
