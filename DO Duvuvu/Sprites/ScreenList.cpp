#include "ScreenList.h"

#include "Backend.h"
#include "Controls.h"
#include "Events.h"

PtrList<ScreenGL>* screenLIST = nullptr;
ScreenGL* currentScreen = nullptr;

namespace {

// Passes under way; a removal then only clears the node's value, because the
// walk may hold that node.
int gPassDepth = 0;
bool gDeadNodes = false;

PtrNode<ScreenGL>* FindNode(ScreenGL* screen) {
  if (!screenLIST || !screen) return nullptr;
  for (PtrNode<ScreenGL>* node = screenLIST->First(); node; node = node->next) {
    if (node->value == screen) return node;
  }
  return nullptr;
}

void SweepDeadNodes() {
  if (!gDeadNodes || !screenLIST) return;
  gDeadNodes = false;
  PtrNode<ScreenGL>* node = screenLIST->First();
  while (node) {
    PtrNode<ScreenGL>* next = node->next;
    if (!node->value) {
      screenLIST->Remove(node);
      delete node;
    }
    node = next;
  }
}

struct PassScope {
  PassScope() { ++gPassDepth; }
  ~PassScope() {
    if (--gPassDepth == 0) SweepDeadNodes();
  }
};

}  // namespace

ScreenGL::ScreenGL() = default;

void ScreenGL::Show(UInt8 modal) {
  AddScreen(this);
  if (modal) BringScreenToFront(this);
  active = 1;
  DrainEvents(62);
}

void ScreenGL::Hide() {
  RemoveScreen(this);
  active = 0;
  RecomputeCurrentScreen();
}

bool ScreenGL::IsCurrent() const { return active && currentScreen == this; }

void ProcessScreens() {
  if (screenLIST && screenLIST->First()) {
    PassScope scope;
    for (PtrNode<ScreenGL>* node = screenLIST->First(); node;) {
      PtrNode<ScreenGL>* next = node->next;
      if (node->value && node->value->active) node->value->Process();
      node = next;
    }
  }
  // The layout's characters (accents, dead keys) reach a focused text field
  // only through the system's text input; other times it stays off.
  GetBackend().SetTextInput(focusedField && focusedField->kind == kControlTextField);
}

void DrawScreens() {
  if (!screenLIST || !screenLIST->First()) return;
  PassScope scope;
  for (PtrNode<ScreenGL>* node = screenLIST->First(); node; node = node->next) {
    if (node->value && node->value->active) node->value->Draw();
  }
}

bool AnyScreenActive() {
  if (!screenLIST) return false;
  for (PtrNode<ScreenGL>* node = screenLIST->First(); node; node = node->next) {
    if (node->value && node->value->active) return true;
  }
  return false;
}

void AddScreen(ScreenGL* screen) {
  if (!screenLIST) screenLIST = new PtrList<ScreenGL>();
  RemoveScreen(screen);
  screenLIST->AddValue(screen);
}

void RemoveScreen(ScreenGL* screen) {
  PtrNode<ScreenGL>* node = FindNode(screen);
  if (!node) return;
  if (gPassDepth > 0) {
    node->value = nullptr;
    gDeadNodes = true;
    return;
  }
  screenLIST->Remove(node);
  delete node;
}

void BringScreenToFront(ScreenGL* screen) {
  RemoveScreen(screen);
  AddScreen(screen);
  currentScreen = screen;
}

void RecomputeCurrentScreen() {
  currentScreen = nullptr;
  if (!screenLIST) return;
  // Dead nodes are skipped: the tail is the last listed screen.
  for (PtrNode<ScreenGL>* node = screenLIST->Last(); node; node = node->prev) {
    if (node->value) {
      currentScreen = node->value;
      return;
    }
  }
}

void ResetScreenListForTesting() {
  if (screenLIST) {
    while (PtrNode<ScreenGL>* node = screenLIST->RemoveFirst()) delete node;
    delete screenLIST;
  }
  screenLIST = nullptr;
  currentScreen = nullptr;
  gPassDepth = 0;
  gDeadNodes = false;
}
