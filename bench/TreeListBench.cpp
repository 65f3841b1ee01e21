// Tree list figures on the headless backend: building 100,000 nodes (1,000 parents with 100
// children each, one text per node), expanding and collapsing all of them, inside one update
// bracket and node by node.
#include <benchmark/benchmark.h>

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr Integer kParents = 1000;
constexpr Integer kChildren = 100;

TCustomzmTreeListControl* NewTree() {
  Headless::Reset();
  return New<TCustomzmTreeListControl>(nullptr);
}

void Fill(TCustomzmTreeListControl* Tree) {
  for (Integer p = 0; p < kParents; ++p) {
    TzmTreeListNode* parent = Tree->AddNode(nullptr);
    parent->SetStrings(0, "Parent " + IntToStr(p));
    for (Integer c = 0; c < kChildren; ++c) parent->AddChild()->SetStrings(0, "Child " + IntToStr(c));
  }
}

void ExpandRoots(TCustomzmTreeListControl* Tree, bool Expanded) {
  for (Integer p = 0; p < Tree->GetRootCount(); ++p) Tree->GetRootNode(p)->SetExpanded(Expanded);
}

void BM_TreeListBuild100000Nodes(benchmark::State& state) {
  TzmTreeListUnits units;
  for (auto _ : state) {
    TCustomzmTreeListControl* tree = NewTree();
    tree->BeginUpdate();
    Fill(tree);
    tree->EndUpdate();
    state.PauseTiming();
    Free(tree);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kParents * (kChildren + 1));
}
BENCHMARK(BM_TreeListBuild100000Nodes)->Unit(benchmark::kMillisecond);

void BM_TreeListBuild100000NodesOneByOne(benchmark::State& state) {
  TzmTreeListUnits units;
  for (auto _ : state) {
    TCustomzmTreeListControl* tree = NewTree();
    tree->BeginUpdate();
    tree->EndUpdate();
    Fill(tree);
    state.PauseTiming();
    Free(tree);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kParents * (kChildren + 1));
}
BENCHMARK(BM_TreeListBuild100000NodesOneByOne)->Unit(benchmark::kMillisecond);

// Node by node in a shown control: each new root moves the rows below it, so the row counts and
// the scroll bars follow every addition (children of collapsed parents move nothing).
void BM_TreeListBuild100000NodesOneByOneShown(benchmark::State& state) {
  TzmTreeListUnits units;
  for (auto _ : state) {
    state.PauseTiming();
    Headless::Reset();
    TForm* form = New<TForm>(nullptr);
    form->SetBounds(0, 0, 600, 400);
    auto* tree = New<TCustomzmTreeListControl>(form);
    tree->SetBounds(0, 0, 580, 380);
    tree->SetParent(form);
    form->Show();
    state.ResumeTiming();
    Fill(tree);
    state.PauseTiming();
    Free(form);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kParents * (kChildren + 1));
}
BENCHMARK(BM_TreeListBuild100000NodesOneByOneShown)->Unit(benchmark::kMillisecond);

// Expanding all 1,000 parents inside one update bracket (one rebuild of the display order), then
// collapsing them the same way.
void BM_TreeListExpandAllInABracket(benchmark::State& state) {
  TzmTreeListUnits units;
  TCustomzmTreeListControl* tree = NewTree();
  tree->BeginUpdate();
  Fill(tree);
  tree->EndUpdate();
  for (auto _ : state) {
    tree->BeginUpdate();
    ExpandRoots(tree, true);
    tree->EndUpdate();
    state.PauseTiming();
    if (tree->GetVisibleNodeCount() != kParents * (kChildren + 1)) state.SkipWithError("not all expanded");
    tree->BeginUpdate();
    ExpandRoots(tree, false);
    tree->EndUpdate();
    state.ResumeTiming();
  }
  Free(tree);
}
BENCHMARK(BM_TreeListExpandAllInABracket)->Unit(benchmark::kMillisecond);

void BM_TreeListCollapseAllInABracket(benchmark::State& state) {
  TzmTreeListUnits units;
  TCustomzmTreeListControl* tree = NewTree();
  tree->BeginUpdate();
  Fill(tree);
  tree->EndUpdate();
  for (auto _ : state) {
    state.PauseTiming();
    tree->BeginUpdate();
    ExpandRoots(tree, true);
    tree->EndUpdate();
    state.ResumeTiming();
    tree->BeginUpdate();
    ExpandRoots(tree, false);
    tree->EndUpdate();
  }
  Free(tree);
}
BENCHMARK(BM_TreeListCollapseAllInABracket)->Unit(benchmark::kMillisecond);

// Node by node, every expansion rebuilds the display order (as a user's clicks do).
void BM_TreeListExpandThenCollapseAllNodeByNode(benchmark::State& state) {
  TzmTreeListUnits units;
  TCustomzmTreeListControl* tree = NewTree();
  tree->BeginUpdate();
  Fill(tree);
  tree->EndUpdate();
  for (auto _ : state) {
    ExpandRoots(tree, true);
    ExpandRoots(tree, false);
  }
  Free(tree);
}
BENCHMARK(BM_TreeListExpandThenCollapseAllNodeByNode)->Unit(benchmark::kMillisecond)->Iterations(1);

// One click's worth: with 500 parents (50,000 rows) already expanded, expanding and collapsing
// one more parent touches only its 100 rows.
void BM_TreeListExpandOneAmong50000ShownRows(benchmark::State& state) {
  TzmTreeListUnits units;
  TCustomzmTreeListControl* tree = NewTree();
  tree->BeginUpdate();
  Fill(tree);
  for (Integer p = 0; p < kParents / 2; ++p) tree->GetRootNode(p)->SetExpanded(true);
  tree->EndUpdate();
  TzmTreeListNode* node = tree->GetRootNode(kParents * 3 / 4);
  for (auto _ : state) {
    node->SetExpanded(true);
    node->SetExpanded(false);
  }
  state.SetItemsProcessed(state.iterations() * 2);
  Free(tree);
}
BENCHMARK(BM_TreeListExpandOneAmong50000ShownRows)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
