// The system interface routines that have no service behind them here: each
// gives the fixed answer that sends its callers down their "absent" path.
// Arguments are accepted and ignored, and no output is ever written. Records
// of the services they stand for (controls, windows, descriptors, palettes,
// text edits...) are passed as opaque pointers.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

struct ProcessSerialNumber;

// Apple-event handler: (event, reply, reference value) -> status.
typedef OSErr (*AppleEventHandlerProc)(const void* event, void* reply, void* refcon);
// Idle procedure of an interaction request: (classic event record, out sleep
// time, mouse region) -> handled.
typedef Boolean (*InteractionIdleProc)(const void* event, UInt32* outSleepTime, void* mouseRegion);

// System queries --------------------------------------------------------------

// 'sysv' answers 0x0A00, 'snd ' answers 8 (both 0); any other selector -1
// with the value untouched.
OSErr GetSystemAttribute(OSType selector, SInt32* outValue);
// True when the system version is 10 or later (always here); asked once.
bool IsOSXOrLater();
// 1 when the process runs translated; asked once.
Boolean IsTranslatedProcess();
OSErr InitProcessorServices();
// The region test of the graphics layer: never inside here.
Boolean PointInRegionAt(SInt16 h, SInt16 v, void* region);
// A system control value by name: 0 (success) without writing.
SInt32 QuerySystemControl(const char* name, void* outValue, size_t* ioSize, const void* newValue, size_t newSize);
// Nothing is shown.
OSErr ShowDebuggerMessage(ConstStr255Param message);

// Answers 1 --------------------------------------------------------------------

// Pixels are always locked.
Boolean LockPixMapPixels(PixMapHandle pixMap);

// Error answers ----------------------------------------------------------------

OSErr CloseComponentInstance(void* instance);                                   // -3000
OSStatus CreateNibReference(const void* name, void** outNib);                    // -10960
OSStatus CreateWindowFromNib(void* nib, const void* windowName, void** outWindow);  // -10962

// Answers 0 (no error, nil, false or a count of 0) ------------------------------

// Keyboard, cursor, power and processes.
void* GetKeyboardLayoutPtr(SInt16 selector);
SInt16 GetPowerManagerSelectorCount();
OSStatus SetStandardCursor(UInt32 cursor);
SInt32 QueryMouseState();
OSErr GetNextProcessSerial(ProcessSerialNumber* ioSerial);

// Apple events.
OSErr InstallAppleEventHandler(OSType eventClass, OSType eventID, AppleEventHandlerProc handler, void* refcon,
                               Boolean systemTable);
OSErr GetAppleEventHandler(OSType eventClass, OSType eventID, AppleEventHandlerProc* outHandler, void** outRefcon,
                           Boolean systemTable);
OSErr CreateDescriptor(OSType type, const void* data, SInt32 size, void* outDescriptor);
OSErr AEDisposeDesc(void* descriptor);
OSErr AECountItems(const void* list, SInt32* outCount);
OSErr GetNthDescriptorItem(const void* list, SInt32 index, OSType desiredType, OSType* outKeyword, OSType* outType,
                           void* buffer, SInt32 bufferSize, SInt32* outActualSize);
OSErr CreateAppleEvent(OSType eventClass, OSType eventID, const void* target, SInt16 returnID, SInt32 transactionID,
                       void* outEvent);
OSErr PutAppleEventParam(void* event, OSType keyword, OSType type, const void* data, SInt32 size);
OSErr AEGetParamDesc(const void* event, OSType keyword, OSType desiredType, void* outDescriptor);
OSErr SendAppleEvent(const void* event, void* outReply, SInt32 sendMode, SInt16 priority, SInt32 timeout,
                     InteractionIdleProc idleProc, void* filterProc);
OSErr RequestUserInteraction(SInt32 timeout, void* notification, InteractionIdleProc idleProc);

// Strings, shared libraries, components and bundles.
void* CreateEscapedURLString(void* allocator, const void* string, const void* leaveUnescaped, const void* toEscape,
                             UInt32 encoding);
OSErr OpenSharedLibrary(ConstStr255Param name, OSType architecture, SInt32 loadFlags, void** outConnection,
                        void** outMainAddress, StringPtr outErrorName);
OSErr CloseSharedLibrary(void** connection);
OSErr FindSharedLibrarySymbol(void* connection, ConstStr255Param symbolName, void** outAddress, UInt8* outSymbolClass);
void* OpenComponentByType(OSType type, OSType subtype);
SInt32 GetObjectArrayCount(const void* array);
const void* GetObjectArrayItem(const void* array, SInt32 index);
void* CreateBundlesInDirectory(void* allocator, const void* folderURL, const void* bundleType);
const void* GetBundleInfoValue(void* bundle, const void* key);
const void* GetDictionaryValue(const void* dictionary, const void* key);
Boolean GetNumberValue(const void* number, SInt32 numberType, void* outValue);

// Controls.
OSStatus CreateCustomControl(void* window, const Rect* bounds, const void* definition, const void* initData,
                             void** outControl);
OSStatus NewControlFromDefinition(void* window, const Rect* bounds, const void* definition, void** outControl);
OSErr SetControlVisible(void* control, Boolean visible, Boolean draw);
OSErr EnableControl(void* control);
OSErr DisableControl(void* control);
OSErr ApplyControlFontStyle(void* control, const void* style);
void* FindControlAtPoint(Point where, void* window, SInt16* outPart);
SInt32 GetControlValue(void* control);
SInt32 GetControlMinimum(void* control);
SInt32 GetControlMaximum(void* control);
OSErr GetControlIdentifier(void* control, void* outID);
OSErr FindControlByID(void* window, const void* id, void** outControl);
OSErr SetControlCommandID(void* control, UInt32 command);
OSErr GetControlCommandID(void* control, UInt32* outCommand);
OSErr GetControlKindInfo(void* control, void* outKind);
OSErr GetWindowRootControl(void* window, void** outControl);
OSErr CountChildControls(void* control, UInt16* outCount);
OSErr GetChildControl(void* control, UInt16 index, void** outChild);
OSErr SetControlFocus(void* window, void* control, SInt16 part);
OSErr ClearWindowKeyboardFocus(void* window);
OSErr SetControlTaggedData(void* control, SInt16 part, OSType tag, SInt32 size, const void* data);
OSErr GetControlTaggedData(void* control, SInt16 part, OSType tag, SInt32 bufferSize, void* buffer,
                           SInt32* outActualSize);
Rect* GetControlBoundsRect(void* control, Rect* outBounds);
Boolean IsControlDisabled(void* control);
void* GetControlOwnerWindow(void* control);
OSErr SetControlContent(void* control, const void* content);
OSStatus CreateTextFieldControl(void* window, const Rect* bounds, const void* text, Boolean password,
                                const void* style, void** outControl);

// Dialogs and alerts.
void* CreateDialogWindow(SInt16 dialogID, void* storage, void* behind);
SInt16 ShowAlertByID(SInt16 alertID, void* filterProc);
OSErr GetStandardFilterProc(void** outFilterProc);
OSStatus RunAlertDialog(void* dialog, SInt16* outItem);
void* GetWindowOfDialog(void* dialog);

// Display devices and palettes.
void* GetFirstDisplayDevice(Boolean activeOnly);
void* GetNextDisplayDevice(void* device, Boolean activeOnly);
OSErr SetDisplayModeOfDevice(void* device, UInt32 mode, UInt32* ioDepth);
OSErr GetDisplayIDOfDevice(void* device, UInt32* outDisplayID);
OSErr NewDisplayModeList(void* device, const void* options, UInt32 flags, void** outList, UInt32* outCount);
OSErr EnumDisplayModeList(void* list, void* callback, void* userData);
OSErr GetCurrentDisplayMode(void* device, void* outMode);
Boolean DeviceHasDepth(void* device, SInt16 depth, SInt16 whichFlags, SInt16 flags);
void* AllocPalette(SInt16 entries, void* colorTable, SInt16 usage, SInt16 flags);

// Icons.
OSErr GetIconSuite(void** outSuite, SInt16 resourceID, UInt32 selector);
OSErr GetIconRef(SInt16 volume, OSType creator, OSType type, void** outIcon);
OSErr ReleaseIconRef(void* icon);
// Registers an icon of the application's from a resource of its resource file.
OSErr RegisterIconFromResource(OSType creator, OSType iconType, SInt16 resourceFile, SInt16 resourceID,
                               void** outIcon);

// Files.
// The specification of an open file by its reference number (its control block).
OSErr GetFileControlBlockSpec(SInt16 refNum, void* outSpec);

// Internet preferences and Launch Services.
OSStatus OpenInternetPrefs(OSType signature, void** outInstance);
OSStatus CloseInternetPrefs(void* instance);
OSStatus GetInternetPref(void* instance, ConstStr255Param key, UInt32* outAttributes, void* buffer, SInt32* ioSize);
OSStatus SetInternetPref(void* instance, ConstStr255Param key, UInt32 attributes, const void* data, SInt32 size);
OSStatus DeleteInternetPref(void* instance, ConstStr255Param key);
OSStatus OpenItemByFileRef(const void* item, void** outLaunched);
OSStatus LaunchServiceFindURL(const void* url, UInt32 roles, void** outApplication, void** outApplicationURL);
OSErr LaunchServiceCreateDesc(OSType type, const void* data, SInt32 size, void* outDescriptor);
OSErr LaunchServicePutParam(void* event, OSType keyword, const void* descriptor);
OSErr LaunchServiceDisposeDesc(void* descriptor);
OSErr LaunchServiceCreateRequest(OSType eventClass, OSType eventID, const void* target, void* outEvent);
OSErr LaunchServiceSendRequest(const void* event, void* outReply, SInt32 sendMode);

// Text objects and text-edit records.
OSStatus SetTextObjectControls(void* object, UInt32 count, const void* tags, const void* values);
OSStatus GetTextObjectControls(void* object, UInt32 count, const void* tags, void* outValues);
OSStatus SetTextObjectData(void* object, OSType type, const void* data, SInt32 size, UInt32 start, UInt32 end);
void* GetTextViewObject(void* view);
Handle GetTextEditTextHandle(void* textEdit);
void* NewTextEdit(const Rect* destination, const Rect* view);
Handle GetTextEditStyleScrap(void* textEdit);

// Navigation dialogs.
OSStatus NavGetDefaultDialogOptions(void* outOptions);
OSErr NavChooseFile(const void* defaultLocation, void* outReply, const void* options, void* eventProc,
                    void* previewProc, void* filterProc, const void* typeList, void* userData);
OSErr NavChooseResourceFile(const void* defaultLocation, void* outReply, const void* options, void* eventProc,
                            void* previewProc, void* filterProc, const void* typeList, void* userData);
OSErr NavDisposeReply(void* reply);

// No effect ---------------------------------------------------------------------

// Mouse and keyboard posting (bound by name by the shell).
void CGWarpMouseCursorPosition(double x, double y);
void CGGetLastMouseDelta(SInt32* outDeltaX, SInt32* outDeltaY);
void CGInhibitLocalEvents(Boolean inhibit);
void CGSetLocalEventsSuppressionInterval(double seconds);
void CGPostKeyboardEvent(UInt16 character, UInt16 keyCode, Boolean keyDown);

// Colours and palettes.
void HSLToRGBColor(const void* hsl, void* outRGB);
void RGBToHSLColor(const void* rgb, void* outHSL);
void FreePalette(void* palette);
void AttachPaletteToWindow(void* window, void* palette);
void ActivatePaletteUpdates(void* window);
void CopyCTableToPalette(void* colorTable, void* palette, SInt16 usage, SInt16 flags);
void CopyPaletteToCTable(void* palette, void* colorTable);
void SaveForeColor(void* outColor);
void RestoreForeColor(const void* color);
void UnlockPixMapPixels(PixMapHandle pixMap);

// Controls, menus, dialogs and Nibs.
void ReleaseCustomControl(void* control);
void HideControl(void* control);
void RedrawControl(void* control);
void MoveControlTo(void* control, SInt16 h, SInt16 v);
void SetControlTitleText(void* control, ConstStr255Param title);
void GetControlTitleText(void* control, StringPtr outTitle);
void SetControlValue(void* control, SInt32 value);
void SetControlMinimum(void* control, SInt32 minimum);
void SetControlMaximum(void* control, SInt32 maximum);
void AppendResourceMenuItems(void* menu, OSType resourceType);
void DisposeDialogWindow(void* dialog);
void InitStartupServices();
void DisposeNibReference(void* nib);

// Text-edit records.
void DisposeTextEdit(void* textEdit);
void SetTextEditText(void* textEdit, const void* text, SInt32 length);
void TextEditIdle(void* textEdit);
void SetTextEditSelection(void* textEdit, SInt32 start, SInt32 end);
void ActivateTextEdit(void* textEdit);
void DeactivateTextEdit(void* textEdit);
void TextEditKeyPress(void* textEdit, SInt16 key);
void CutTextEditSelection(void* textEdit);
void CopyTextEditSelection(void* textEdit);
void SetTextEditAlignment(void* textEdit, SInt16 alignment);
void UpdateTextEdit(void* textEdit, const Rect* area);
void RecalcTextEditLines(void* textEdit);
void TextEditClick(void* textEdit, Point where, Boolean extend);
void PasteIntoTextEdit(void* textEdit);
void SetTextEditStyle(void* textEdit, SInt16 mode, const void* style, Boolean redraw);
void ApplyTextEditStyleScrap(void* textEdit, SInt32 start, SInt32 end, Handle scrap, Boolean redraw);

// Time tasks: a primed task never runs.
void InstallTimeTask(void* task);
void PrimeTimeTask(void* task, SInt32 count);
void RemoveTimeTask(void* task);

// Fixed-point trigonometry: no service here, every one answers 0 ----------------

typedef SInt32 Fixed;  // 16.16
typedef SInt32 Fract;  // 2.30

Fixed FractToFixed(Fract value);
Fract FixedCosine(Fixed angle);
Fract FixedSine(Fixed angle);
Fract FractSquareRoot(Fract value);
Fixed IntToFixed(SInt16 value);
