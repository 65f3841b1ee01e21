// Tree list figures on the headless backend: building 100,000 nodes (1,000 parents with 100
// children each, one text per node), expanding and collapsing all of them, inside one update
// bracket and node by node; painting a 1280 x 800 page of that tree shown in two bands,
// scrolling it from top to bottom by pages, and sorting its nodes by one column.
#include <benchmark/benchmark.h>

#include <random>

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

// A shown 1280 x 800 tree list of the 100,000 nodes, every parent expanded: a fixed band with the
// name and a number, a scrolling band with four more texts, the indicator and grid lines.
class TPagedTree {
 public:
  TPagedTree() {
    Headless::Reset();
    Headless::SetScreenSize(1600, 1200);
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(0, 0, 1300, 860);
    FForm->SetClientWidth(1280);
    FForm->SetClientHeight(800);
    Tree = New<TCustomzmTreeListControl>(FForm);
    Tree->SetName("Tree");
    Tree->SetAlign(alClient);
    Tree->SetParent(FForm);
    Tree->BeginUpdate();
    Tree->SetBandsVisible(true);
    Tree->SetIndicatorVisible(true);
    Tree->SetShowGrid(true);
    TzmTreeListBands* bands = Tree->GetBands();
    bands->GetItem(0)->SetCaption("Channel");
    bands->GetItem(0)->SetFixed(TzmGridBandFixed::bfLeft);
    bands->Add()->SetCaption("Tuning");
    const char* captions[] = {"Name", "Number", "Frequency", "Symbol rate", "Polarity", "Provider"};
    for (Integer i = 0; i < 6; ++i) {
      TzmTreeListColumn* column = Tree->CreateColumn(&TzmTreeListColumn::StaticClass(), FForm);
      column->SetCaption(captions[i]);
      column->SetBandIndex(i < 2 ? 0 : 1);
      column->SetWidth(i < 2 ? 150 : 260);
    }
    std::mt19937 random(11);
    for (Integer p = 0; p < kParents; ++p) {
      TzmTreeListNode* parent = Tree->AddNode(nullptr);
      parent->SetStrings(0, "Satellite " + IntToStr(p));
      for (Integer c = 0; c < kChildren - 1; ++c) {
        TzmTreeListNode* child = parent->AddChild();
        child->SetStrings(0, "Channel " + IntToStr(c));
        child->SetStrings(1, IntToStr(static_cast<Integer>(random() % 100000)));
        child->SetStrings(2, IntToStr(10700 + c * 13) + " MHz");
        child->SetStrings(3, "27500");
        child->SetStrings(4, c % 2 ? "Vertical" : "Horizontal");
        child->SetStrings(5, "Provider " + IntToStr(c % 7));
      }
      parent->SetExpanded(true);
    }
    Tree->EndUpdate();
    FForm->Show();
    Application->ProcessMessages();
  }
  ~TPagedTree() { Free(FForm); }
  TPagedTree(const TPagedTree&) = delete;
  TPagedTree& operator=(const TPagedTree&) = delete;

  TCustomzmTreeListControl* Tree;

 private:
  TForm* FForm;
};

// One full paint of the page (every row, header, band and grid line), half way down the tree.
void BM_TreeListPaintPage(benchmark::State& state) {
  TzmTreeListUnits units;
  TPagedTree paged;
  paged.Tree->SetTopIndex(paged.Tree->GetVisibleNodeCount() / 2);
  for (auto _ : state) {
    paged.Tree->Invalidate();
    paged.Tree->Update();
  }
  state.counters["rows"] = paged.Tree->GetShownRowCount();
}
BENCHMARK(BM_TreeListPaintPage)->Unit(benchmark::kMillisecond);

// From the top to the bottom of the 100,000 rows by page-down messages, each page painted.
void BM_TreeListScrollByPages(benchmark::State& state) {
  TzmTreeListUnits units;
  TPagedTree paged;
  TCustomzmTreeListControl* tree = paged.Tree;
  Integer pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tree->SetTopIndex(0);
    tree->Update();
    state.ResumeTiming();
    Integer last = -1;
    while (tree->GetTopIndex() != last) {
      last = tree->GetTopIndex();
      tree->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
      tree->Update();
      ++pages;
    }
  }
  state.counters["pages"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kAvgIterations);
  state.counters["per page"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TreeListScrollByPages)->Unit(benchmark::kMillisecond)->Iterations(2);

// The 100,000 nodes sorted by one column, every children list; each sort starts from the order
// of another column (the names, then random numbers), so that none finds its nodes sorted.
void BM_TreeListSort100000Nodes(benchmark::State& state) {
  TzmTreeListUnits units;
  TPagedTree paged;
  TCustomzmTreeListControl* tree = paged.Tree;
  bool byNumber = true;
  for (auto _ : state) {
    TzmTreeListColumn* column = tree->ColumnAt(byNumber ? 1 : 0);
    column->SetSorted(TzmTreeListColumnSort::csUp);
    state.PauseTiming();
    column->SetSorted(TzmTreeListColumnSort::csNone);
    byNumber = !byNumber;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kParents * kChildren);
}
BENCHMARK(BM_TreeListSort100000Nodes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
