// TextFieldGL: the one-line editable text field with a blinking caret, drawn
// from its rendered text image and scrolled so the caret stays in view.
#pragma once

#include <string>

#include "Controls.h"

class TextFieldGL : public ControlGL {
 public:
  TextFieldGL();
  ~TextFieldGL() override;

  virtual void Idle() {}
  // Re-renders textImage from text; fatal without mainGUI.imageBuff.
  virtual void Render();
  virtual void Draw();
  virtual void Update() {}
  virtual void DrawFrame();
  virtual Rect CaretRect();
  virtual SInt16 ScrollOffset();
  virtual void BlinkCaret();
  virtual void Focus();
  // Inserts at the caret what fits the limit, then moves the caret past it.
  virtual void InsertText(const char* cString);
  // The field when enabled, else nil. character: this step's key, 0 for none.
  virtual TextFieldGL* HandleInput(MouseState* state, SInt8 character);

  // Bytes the text may hold; 0 for no limit of its own (32767 at most).
  UInt16 MaxLength() const;

  ALSound* typeSound = nullptr;
  ALSound* deleteSound = nullptr;
  std::string text;
  GLImage textImage;
  Rect textRect = {0, 0, 0, 0};
  SInt16 caret = 0;
  SInt8 blink = 0;      // 0..8; the caret shows below 4
  UInt8 highlight = 0;  // counts down; while set, mainGUI's highlight colour
  UInt16 maxLength = 0;

  // Fields' own press pair beside the shared capture.
  static ControlGL* pressControl;
  static bool pressInProgress;
};

// The game's Paste: inserts at the caret of the focused text field.
void PasteIntoFocusedField(const char* cString);
