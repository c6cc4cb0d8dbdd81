// The system routines the dialog layer stands on (controls, icons, text
// objects, Nibs, sheets and the application-modal loop), reached through one
// table so tests can put in-memory controls, counters or failures in their
// place. Every entry starts as the foundation's fixed-result routine.
//
// Those routines never write their out values, so callers preset each one
// (sizes 0, pointers nil, counts 0, records zeroed) before a call.
#pragma once

#include "Events.h"
#include "MacTypes.h"

typedef void* ControlRef;

struct BundleObject;
struct FileClass;
struct FileSpec;
struct ProcessSerialNumber;
struct RefObject;
struct StringObject;
struct URLObject;

// A port's drawing procedures, one pointer-sized field each.
typedef void (*DrawingProc)();
struct PortDrawingProcs {
  DrawingProc textProc;
  DrawingProc lineProc;
  DrawingProc rectProc;
  DrawingProc roundRectProc;
  DrawingProc ovalProc;
  DrawingProc arcProc;
  DrawingProc polyProc;
  DrawingProc regionProc;
  DrawingProc bitsProc;
  DrawingProc commentProc;
  DrawingProc measureTextProc;
  DrawingProc getPictureProc;
  DrawingProc putPictureProc;
};

// An Apple-event descriptor: its type and the platform's data for it.
struct EventDescriptor {
  OSType descriptorType;
  void* dataHandle;
};

// The 8-byte 'kind' record of a control.
struct ControlKind {
  OSType signature;
  OSType kind;
};

struct SystemCallTable {
  // Controls.
  ControlRef (*newControl)(WindowRef window, const Rect* bounds, ConstStr255Param title, Boolean visible,
                           SInt16 value, SInt16 minimum, SInt16 maximum, SInt16 definition, SInt32 reference);
  void (*disposeControl)(ControlRef control);
  OSErr (*setControlData)(ControlRef control, SInt16 part, OSType tag, SInt32 size, const void* data);
  OSErr (*getControlData)(ControlRef control, SInt16 part, OSType tag, SInt32 bufferSize, void* buffer,
                          SInt32* outActualSize);
  OSErr (*setControlCommandID)(ControlRef control, UInt32 command);
  OSErr (*getControlCommandID)(ControlRef control, UInt32* outCommand);
  OSErr (*getControlKind)(ControlRef control, ControlKind* outKind);
  SInt32 (*getControlValue)(ControlRef control);
  SInt32 (*getControlMinimum)(ControlRef control);
  SInt32 (*getControlMaximum)(ControlRef control);
  void (*setControlValue)(ControlRef control, SInt32 value);
  void (*setControlMinimum)(ControlRef control, SInt32 minimum);
  void (*setControlMaximum)(ControlRef control, SInt32 maximum);
  void (*drawControl)(ControlRef control);
  void (*hideControl)(ControlRef control);
  OSErr (*setControlVisible)(ControlRef control, Boolean visible, Boolean draw);
  OSErr (*enableControl)(ControlRef control);
  OSErr (*disableControl)(ControlRef control);
  Boolean (*isControlDisabled)(ControlRef control);
  Rect* (*getControlBounds)(ControlRef control, Rect* outBounds);
  void (*setControlBounds)(ControlRef control, const Rect* bounds);
  WindowRef (*getControlOwner)(ControlRef control);
  OSErr (*applyControlFontStyle)(ControlRef control, const void* style);
  OSErr (*setControlContent)(ControlRef control, const void* content);
  void (*getControlTitle)(ControlRef control, StringPtr outTitle);
  void (*setControlTitle)(ControlRef control, ConstStr255Param title);
  OSErr (*getRootControl)(WindowRef window, ControlRef* outControl);
  OSErr (*countSubControls)(ControlRef control, UInt16* outCount);
  OSErr (*getIndexedSubControl)(ControlRef control, UInt16 index, ControlRef* outChild);
  OSErr (*getControlByID)(WindowRef window, const void* id, ControlRef* outControl);
  OSErr (*getControlID)(ControlRef control, void* outID);
  OSErr (*setKeyboardFocus)(WindowRef window, ControlRef control, SInt16 part);
  OSErr (*clearKeyboardFocus)(WindowRef window);
  ControlRef (*findControlUnderMouse)(Point where, WindowRef window, SInt16* outPart);
  // Custom control classes ("urlControl").
  OSStatus (*registerControlClass)(const char* name, EventHandlerProcPtr handler, void** outClass);
  void (*unregisterControlClass)(void* controlClass);
  OSStatus (*createCustomControl)(WindowRef window, const Rect* bounds, void* controlClass, ControlRef* outControl);
  void (*releaseControl)(ControlRef control);

  // Menus of pop-up menu controls. The title call leaves the preset empty
  // title when it has nothing.
  void* (*getMenu)(SInt16 menuID);
  void (*getMenuTitle)(void* menu, StringPtr outTitle);

  // Text objects of text views.
  void* (*getTextObject)(ControlRef control);
  OSStatus (*setTextObjectData)(void* object, OSType type, const void* data, SInt32 size, UInt32 start, UInt32 end);
  OSStatus (*getTextObjectOption)(void* object, OSType tag, UInt32* outValue);
  OSStatus (*setTextObjectOption)(void* object, OSType tag, UInt32 value);
  void (*updateTextObject)(void* object);

  // Icons.
  OSErr (*getIconRef)(SInt16 volume, OSType creator, OSType type, void** outIcon);
  OSErr (*releaseIconRef)(void* icon);
  OSErr (*getIconFamily)(SInt16 resourceID, UInt32 selector, void** outFamily);

  // Nibs.
  OSStatus (*createNibReference)(const void* name, void** outNib);
  OSStatus (*createWindowFromNib)(void* nib, const void* windowName, WindowRef* outWindow);
  void (*disposeNibReference)(void* nib);

  // Sheets and the application-modal loop.
  OSStatus (*showSheetWindow)(WindowRef sheet, WindowRef parent);
  OSStatus (*hideSheetWindow)(WindowRef sheet);
  OSStatus (*runAppModalLoop)(WindowRef window);
  OSStatus (*quitAppModalLoop)(WindowRef window);

  // Event-loop timers.
  OSStatus (*installEventLoopTimer)(double delay, double interval, void (*proc)(void* timer, void* user),
                                    void* user, void** outTimer);
  OSStatus (*removeEventLoopTimer)(void* timer);

  // The script interpreter.
  OSErr (*compileScript)(void* instance, const char* text, SInt32 length, void** outScript);
  OSErr (*executeScript)(void* instance, void* script, void** outValue);

  // Apple-event descriptors.
  OSErr (*getParamDesc)(const void* event, OSType keyword, OSType desiredType, void* outDescriptor);
  OSErr (*countItems)(const void* list, SInt32* outCount);
  OSErr (*getNthItem)(const void* list, SInt32 index, OSType desiredType, OSType* outKeyword, OSType* outType,
                      void* buffer, SInt32 bufferSize, SInt32* outActualSize);

  // Classic dialogs.
  OSErr (*getStandardFilterProc)(void** outFilterProc);
  void (*beep)();

  // Shell services: system attributes, Apple events sent to other programs,
  // processes, launching, helper-application preferences and the bundle
  // listing of a folder.
  OSErr (*getSystemAttribute)(OSType selector, SInt32* outValue);
  OSErr (*createDescriptor)(OSType type, const void* data, SInt32 size, EventDescriptor* outDescriptor);
  OSErr (*createAppleEvent)(OSType eventClass, OSType eventID, const EventDescriptor* target, SInt16 returnID,
                            SInt32 transactionID, EventDescriptor* outEvent);
  OSErr (*putParam)(EventDescriptor* event, OSType keyword, OSType type, const void* data, SInt32 size);
  OSErr (*sendAppleEvent)(const EventDescriptor* event, EventDescriptor* outReply, SInt32 sendMode, SInt16 priority,
                          SInt32 timeout);
  OSErr (*disposeDescriptor)(EventDescriptor* descriptor);
  OSErr (*getNextProcess)(ProcessSerialNumber* ioSerial);
  OSErr (*getProcessTypeAndSignature)(const ProcessSerialNumber* serial, OSType* outType, OSType* outSignature);
  OSErr (*launchApplication)(const FileClass* application);
  OSStatus (*openItem)(const FileSpec* item);
  OSStatus (*openInternetPrefs)(OSType signature, void** outInstance);
  OSStatus (*closeInternetPrefs)(void* instance);
  OSStatus (*getInternetPref)(void* instance, ConstStr255Param key, UInt32* outAttributes, void* buffer,
                              SInt32* ioSize);
  OSStatus (*setInternetPref)(void* instance, ConstStr255Param key, UInt32 attributes, const void* data, SInt32 size);
  OSStatus (*deleteInternetPref)(void* instance, ConstStr255Param key);
  // The bundles of a folder: a list (nil when none) read by count and index,
  // released with releaseBundleList.
  void* (*createBundlesInDirectory)(const URLObject* folder);
  SInt32 (*countBundles)(const void* list);
  BundleObject* (*getBundleAt)(const void* list, SInt32 index);
  const RefObject* (*getBundleInfoValue)(const BundleObject* bundle, const StringObject* key);
  void (*releaseBundleList)(void* list);

  // Styled text-edit records. None is made here (nil), and the calls below
  // are never given a nil record. Only the selection and the text bytes are
  // read from a record.
  void* (*newTextEdit)(const Rect* destination, const Rect* view);
  void (*disposeTextEdit)(void* edit);
  void (*activateTextEdit)(void* edit);
  void (*deactivateTextEdit)(void* edit);
  void (*textEditIdle)(void* edit);
  void (*textEditClick)(void* edit, Point where, Boolean extend);
  void (*textEditKeyPress)(void* edit, SInt16 key);
  void (*setTextEditText)(void* edit, const void* text, SInt32 length);
  void (*setTextEditSelection)(void* edit, SInt32 start, SInt32 end);
  void (*getTextEditSelection)(void* edit, SInt16* outStart, SInt16* outEnd);
  // The text's bytes, valid until the record changes.
  const UInt8* (*getTextEditBytes)(void* edit, SInt32* outLength);
  void (*setTextEditAlignment)(void* edit, SInt16 alignment);
  void (*setTextEditStyle)(void* edit, SInt16 mode, const void* style, Boolean redraw);
  void (*applyTextEditStyleScrap)(void* edit, SInt32 start, SInt32 end, Handle scrap, Boolean redraw);
  Handle (*getTextEditTextHandle)(void* edit);
  Handle (*getTextEditStyleScrap)(void* edit);
  void (*cutTextEditSelection)(void* edit);
  void (*copyTextEditSelection)(void* edit);
  void (*pasteIntoTextEdit)(void* edit);
  void (*recalcTextEditLines)(void* edit);
  void (*updateTextEdit)(void* edit, const Rect* area);

  // Resources of the application's resource file: none here.
  Handle (*getResource)(OSType type, SInt16 id);
  void (*releaseResource)(Handle resource);

  // The current port's drawing procedures: nil when it has none (none here).
  PortDrawingProcs* (*getPortDrawingProcs)();
  void (*standardDrawingProcs)(PortDrawingProcs* outProcs);
  // Nil puts the standard ones back.
  void (*setPortDrawingProcs)(PortDrawingProcs* procs);
};

extern SystemCallTable gSystemCalls;

// Every entry back to the foundation's routine.
void ResetSystemCalls();
