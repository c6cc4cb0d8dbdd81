#include "TextField.h"

#include <algorithm>
#include <cstring>

#include "ControlInternals.h"
#include "Errors.h"
#include "GLFrame.h"
#include "ImageBuff.h"

ControlGL* TextFieldGL::pressControl = nullptr;
bool TextFieldGL::pressInProgress = true;

namespace {

// The caret is an i16, so no text may grow past this.
constexpr UInt16 kLongestText = 32767;

// The owner may set text and caret directly: keep the caret inside the text.
void ClampCaret(TextFieldGL* field) {
  const auto length = static_cast<SInt32>(std::min<size_t>(field->text.size(), kLongestText));
  field->caret = static_cast<SInt16>(std::clamp<SInt32>(field->caret, 0, length));
}

float FieldTextSize() { return mainGUI.textScale * mainGUI.fieldTextSize; }

// The frame drawn like a button's, scaled to the rect's height by the middle
// image; skipped when that image has no texture (its height would divide).
void DrawScaledFrame(GLImage* three, const Rect& rect) {
  if (three[1].textureName == 0 || three[1].imageHeight <= 0) return;
  const float k = static_cast<float>(rect.bottom - rect.top) / static_cast<float>(three[1].imageHeight);
  const auto leftCapRight = static_cast<SInt32>(rect.left + three[0].imageWidth * k);
  const auto rightCapLeft = static_cast<SInt32>(rect.right - three[2].imageWidth * k);
  DrawCapsAndTiles(three, rect, leftCapRight, rightCapLeft, static_cast<SInt32>(three[1].imageWidth * k));
}

void SetHighlightOrWhite(GLImage* image, UInt8 highlight) {
  image->red = highlight ? mainGUI.highlightColor[0] : 1.0f;
  image->green = highlight ? mainGUI.highlightColor[1] : 1.0f;
  image->blue = highlight ? mainGUI.highlightColor[2] : 1.0f;
}

}  // namespace

void ResetTextFieldTracking() {
  TextFieldGL::pressControl = nullptr;
  TextFieldGL::pressInProgress = true;
}

TextFieldGL::TextFieldGL() {
  kind = kControlTextField;
  images = mainGUI.fieldFrameImages;
  focusImages = mainGUI.fieldFocusImages;
}

TextFieldGL::~TextFieldGL() = default;

UInt16 TextFieldGL::MaxLength() const {
  return (maxLength == 0 || maxLength > kLongestText) ? kLongestText : maxLength;
}

void TextFieldGL::Render() {
  const float s = mainGUI.textScale;
  const SInt32 w = MeasureText(text.c_str(), mainGUI.fieldFont, FieldTextSize());
  SInt32 width = static_cast<SInt32>(s * 6.0f + static_cast<float>(w));
  ImageBuff* buffer = mainGUI.imageBuff;
  if (!buffer) FatalError("mainGUI.imageBuff is nil.", "TextFieldGL::Render()");
  const float areaWidth = static_cast<float>(textRect.right - textRect.left) * s;
  if (!(static_cast<float>(width) > areaWidth)) width = static_cast<SInt32>(areaWidth);
  const auto height = static_cast<SInt32>(static_cast<float>(textRect.bottom - textRect.top) * s);
  const Rect image = ClampToBuffer(Rect{0, 0, static_cast<SInt16>(std::clamp<SInt32>(height, 0, 32767)),
                                        static_cast<SInt16>(std::clamp<SInt32>(width, 0, 32767))},
                                   buffer);
  ReadyImageBuff(buffer);
  ClearImageBuff(buffer);
  buffer->red = buffer->green = buffer->blue = 1.0f;
  buffer->alpha = 1.0f;
  DrawTextToImage(buffer, text.c_str(), mainGUI.fieldFont, FieldTextSize(), 4.0f,
                  static_cast<float>(height / 2) + 0.35f * s * mainGUI.fieldTextSize, 0);
  MakeGLImageFromBuffer(&textImage, buffer, &image);
  textImage.forceBlend = 1;
}

Rect TextFieldGL::CaretRect() {
  ClampCaret(this);
  const float s = mainGUI.textScale;
  const std::string prefix = text.substr(0, static_cast<size_t>(caret));
  const SInt32 p = prefix.empty() ? 0 : MeasureText(prefix.c_str(), mainGUI.fieldFont, FieldTextSize());
  const auto x = static_cast<SInt32>(static_cast<float>(textRect.left + 4) + static_cast<float>(p) / s);
  return Rect{textRect.top, static_cast<SInt16>(x), textRect.bottom,
              static_cast<SInt16>(x + static_cast<SInt32>(2.0f * s))};
}

SInt16 TextFieldGL::ScrollOffset() {
  const float s = mainGUI.textScale;
  const SInt32 w = MeasureText(text.c_str(), mainGUI.fieldFont, FieldTextSize());
  const float over = (static_cast<float>(w) - static_cast<float>(textRect.right - textRect.left) * s) * 0.6f;
  return static_cast<SInt16>(std::max<SInt32>(0, static_cast<SInt32>(over)));
}

void TextFieldGL::Draw() {
  const float s = mainGUI.textScale;
  for (int i = 0; i < 3; ++i) SetImageColor(&images[i], 1.0f, enabled ? 1.0f : 0.33f);
  DrawScaledFrame(images, rect);
  const Rect c = CaretRect();
  SetScissorRect(&textRect);
  Rect textDest = {textRect.top, textRect.left,
                   static_cast<SInt16>(textRect.top + static_cast<SInt32>(textImage.imageHeight / s)),
                   static_cast<SInt16>(textRect.left + static_cast<SInt32>(textImage.imageWidth / s))};
  SetHighlightOrWhite(&textImage, highlight);
  const bool focused = focusedField == this;
  // Scrolled so the caret's right edge meets the area's.
  const SInt16 scroll = (focused && c.right > textRect.right) ? static_cast<SInt16>(c.right - textRect.right) : 0;
  textDest.left = static_cast<SInt16>(textDest.left - scroll);
  textDest.right = static_cast<SInt16>(textDest.right - scroll);
  DrawGLImage(&textImage, &textDest);
  SetScissorRect(&ScreenRect);
  if (!focused) return;
  if (blink < 4) {
    SetHighlightOrWhite(&mainGUI.caretImage, highlight);
    const Rect caretDest = {c.top, static_cast<SInt16>(c.left - scroll), c.bottom,
                            static_cast<SInt16>(c.right - scroll)};
    DrawGLImage(&mainGUI.caretImage, &caretDest);
  }
  DrawFrame();
}

void TextFieldGL::DrawFrame() {
  for (int i = 0; i < 3; ++i) SetHighlightOrWhite(&focusImages[i], highlight);
  DrawScaledFrame(focusImages, rect);
}

void TextFieldGL::BlinkCaret() {
  blink = blink < 8 ? static_cast<SInt8>(blink + 1) : 0;
  if (highlight) --highlight;
}

void TextFieldGL::Focus() {
  focusedField = this;
  caret = static_cast<SInt16>(std::min<size_t>(text.size(), kLongestText));
  blink = 0;
}

void TextFieldGL::InsertText(const char* cString) {
  ClampCaret(this);
  const size_t limit = MaxLength();
  const size_t room = text.size() < limit ? limit - text.size() : 0;
  const size_t count = std::min(std::strlen(cString), room);
  text.insert(static_cast<size_t>(caret), cString, count);
  Render();
  caret = static_cast<SInt16>(caret + count);
}

TextFieldGL* TextFieldGL::HandleInput(MouseState* state, SInt8 character) {
  if (!enabled) return nullptr;
  UseRectWhenTrackRectEmpty(this);
  if (state->button == 0) {
    if (captureControl == this) {
      armed = 0;
      captureControl = nullptr;
    }
    TextFieldGL::pressInProgress = true;
    TextFieldGL::pressControl = nullptr;
  } else if (state->button == 1) {
    if (PointInHalfOpen(trackRect, state->where.v, state->where.h) && TextFieldGL::pressInProgress &&
        (!captureControl || captureControl == this)) {
      captureControl = this;
      Focus();
    } else {
      armed = 0;
      if (TextFieldGL::pressControl == this && !captureControl) TextFieldGL::pressInProgress = false;
    }
  }
  if (state->button && !TextFieldGL::pressControl) TextFieldGL::pressControl = this;

  // Sounds play where the caret stood before the edit.
  const Rect c = CaretRect();
  if (focusedField != this || character == 0) return this;
  const auto code = static_cast<UInt8>(character);
  const auto length = static_cast<SInt16>(std::min<size_t>(text.size(), kLongestText));
  switch (code) {
    case 1:
    case 3:
    case 4:
    case 9:
    case 11:
    case 12:
    case 13:
    case 27:
      break;
    case 8:
      if (caret > 0) {
        text.erase(static_cast<size_t>(caret - 1), 1);
        Render();
        --caret;
        PlayControlSoundInRect(deleteSound, &c);
      }
      break;
    case 127:
      if (caret < length) {
        text.erase(static_cast<size_t>(caret), 1);
        Render();
        PlayControlSoundInRect(deleteSound, &c);
      }
      break;
    case 28:
      if (caret > 0) --caret;
      break;
    case 29:
      if (caret < length) ++caret;
      break;
    case 30:
      caret = 0;
      break;
    case 31:
      caret = length;
      break;
    default:
      // At the limit a key inserts nothing and plays nothing.
      if (text.size() < MaxLength()) {
        text.insert(static_cast<size_t>(caret), 1, static_cast<char>(code));
        Render();
        ++caret;
        PlayControlSoundInRect(typeSound, &c);
      }
      break;
  }
  blink = 0;
  return this;
}

void PasteIntoFocusedField(const char* cString) {
  if (focusedField && focusedField->kind == kControlTextField)
    static_cast<TextFieldGL*>(focusedField)->InsertText(cString);
}
