// Scopes of the tree list's drawing code: a canvas font and a node's access bracket are put back
// when a block ends, also when a custom-draw handler raises (DC state, brushes: GdiScopes.h).
#pragma once

#include "platform/forms/Graphics.h"
#include "platform/os/GdiScopes.h"
#include "treelist/zmTL.h"

// With Save, the canvas font is copied into Scratch and assigned back on leaving.
class TzmSavedFont {
 public:
  TzmSavedFont(TCanvas* Canvas, TFont* Scratch, bool Save) : FCanvas(Canvas), FScratch(Scratch), FSaved(Save) {
    if (FSaved) FScratch->Assign(FCanvas->GetFont());
  }
  ~TzmSavedFont() {
    if (FSaved) FCanvas->GetFont()->Assign(FScratch);
  }
  TzmSavedFont(const TzmSavedFont&) = delete;
  TzmSavedFont& operator=(const TzmSavedFont&) = delete;

 private:
  TCanvas* FCanvas;
  TFont* FScratch;
  bool FSaved;
};

// The tree list's BeginNodeAccess for a node (none for nil); EndNodeAccess on leaving.
class TzmNodeAccess {
 public:
  using TEnd = void (TCustomzmTreeList::*)(TzmTreeListNode*);
  TzmNodeAccess(TCustomzmTreeList* Tree, TzmTreeListNode* Node, void (TCustomzmTreeList::*Begin)(TzmTreeListNode*),
                TEnd End)
      : FTree(Tree), FNode(Node), FEnd(End) {
    if (FNode) (FTree->*Begin)(FNode);
  }
  ~TzmNodeAccess() {
    if (FNode) (FTree->*FEnd)(FNode);
  }
  TzmNodeAccess(const TzmNodeAccess&) = delete;
  TzmNodeAccess& operator=(const TzmNodeAccess&) = delete;

 private:
  TCustomzmTreeList* FTree;
  TzmTreeListNode* FNode;
  TEnd FEnd;
};
