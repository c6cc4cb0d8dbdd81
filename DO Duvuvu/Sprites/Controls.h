// The OpenGL controls: ControlGL's shared mouse tracking (one capture for all
// controls), push buttons, checkboxes, radio buttons and sliders. Controls are
// polled once per step with the step's MouseState and never post events.
#pragma once

#include "GLImage.h"
#include "GUIState.h"
#include "MacTypes.h"
#include "SystemUI.h"

enum : UInt8 {
  kControlButton = 1,
  kControlCheckbox = 2,
  kControlRadio = 3,
  kControlSlider = 4,
  kControlTextField = 5,
};

class ControlGL {
 public:
  ControlGL();
  virtual ~ControlGL() = default;

  // Feedback when a press begins on the control.
  virtual void RollOver() {}
  // The control clicked (reported on the release step), or nil. Invisible and
  // disabled controls return nil and change nothing.
  virtual ControlGL* TrackMouse(MouseState* state, UInt8 pressValue, UInt8 latch);

  // Renders the title into mainGUI.imageBuff as titleImage; nothing without one.
  void RenderTitle();
  void ToggleValue();

  UInt8 armed = 0;  // holds the capture with the mouse inside: drawn pressed
  UInt8 latched = 0;
  UInt8 pressValue = 0;
  UInt8 kind = 0;
  UInt8 clickPending = 0;  // the next tracking acts as a press at the centre
  GLImage titleImage;
  GLImage* labelImage = nullptr;  // buttons draw it instead of titleImage
  Rect rect = {32, 32, 48, 64};
  Rect trackRect = {0, 0, 0, 0};  // empty: rect, at the first tracking or drawing
  UInt8 enabled = 1;
  UInt8 visible = 1;
  SInt16 value = 0;
  SInt16 minimum = 0;
  SInt16 maximum = 100;
  Str31 title = {0};
  GLImage* images = nullptr;  // the kind's first image in mainGUI
  union {                     // the second resource, by kind
    ALSound* clickSound;      // buttons
    GLImage* thumbImage;      // sliders
    GLImage* focusImages;     // text fields (three)
  };
};

// The mouse capture all controls share, the first control that saw the button
// down in this press, and whether a press that began on a control lasts.
extern ControlGL* captureControl;
extern ControlGL* pressControl;
extern bool pressInProgress;
// The text field that takes typed characters.
extern ControlGL* focusedField;

class ButtonGL : public ControlGL {
 public:
  ButtonGL();
  void RollOver() override;  // the button's own click sound
  virtual void Idle() {}
  virtual void Draw();
  virtual void DrawLabel(SInt8 offset);
};

// A box image with the title beside it; the owner sets value on a click.
class CheckboxGL : public ControlGL {
 public:
  CheckboxGL();
  void RollOver() override;  // mainGUI's check sound
  virtual void Idle() {}
  // Sizes rect to the box, the gap and the title; the new right.
  virtual SInt16 FitWidth();
  virtual void Render();
  virtual void Draw();
  virtual void DrawLabel();
};

// A checkbox with the radio images; grouping is the owner's.
class RadioGL : public CheckboxGL {
 public:
  RadioGL();
};

class SliderGL : public ControlGL {
 public:
  SliderGL();
  virtual void Idle() {}
  virtual void Draw();
  virtual void Update() {}
  // The slider while its thumb is dragged and on the release of a drag, else
  // nil. Requires maximum > minimum.
  virtual SliderGL* TrackThumb(MouseState* state);

  ALSound* sound = nullptr;
  Rect thumbRect = {0, 0, 0, 0};  // where the thumb was last drawn

  // Sliders' own press pair beside the shared capture.
  static ControlGL* pressControl;
  static bool pressInProgress;
};

class AudioSlider : public SliderGL {};

// Tests only: the tracking globals (both twin pairs included) as at start-up.
void ResetControlTrackingForTesting();

// Sounds ---------------------------------------------------------------------

// A control's click: a free source, buffer slot 0, gain and pitch 1, once, at
// the rect's centre. A nil sound plays nothing.
void PlayControlSound(const ALSound* sound, const Rect* rect);

// Tests only: when set, control sounds are reported here instead of played.
struct ControlSoundRecord {
  UInt32 buffer;
  UInt32 source;
  Point where;
};
typedef void (*ControlSoundRecorder)(const ControlSoundRecord& record, void* context);
void SetControlSoundRecorder(ControlSoundRecorder recorder, void* context);
