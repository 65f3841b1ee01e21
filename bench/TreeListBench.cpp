// Tree list figures on the headless backend: building 100,000 nodes (1,000 parents with 100
// children each, one text per node), expanding and collapsing all of them, inside one update
// bracket and node by node; painting a 1280 x 800 page of that tree shown in two bands,
// scrolling it from top to bottom by pages, and sorting its nodes by one column.
//
// Each data operation is followed by its yardstick (BM_Yardstick...): the same work, over the
// same data, done by a hand-written tree model over plain vectors. Compare a case with its
// yardstick within one run; the machine's load moves both.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/rtl/SysUtils.h"
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

// The yardstick model: a forest in plain vectors (children as node indexes, a node's index is its
// creation order) and the shown rows as a vector of node indexes, rebuilt by a depth-first walk
// over the expanded nodes.
struct TPlainNode {
  std::vector<String> Texts;
  std::vector<Integer> Children;
  Integer Parent = -1;
  bool Expanded = false;
};

class TPlainTree {
 public:
  Integer Add(Integer Parent, String Text) {
    Integer index = static_cast<Integer>(Nodes.size());
    Nodes.emplace_back();
    Nodes.back().Texts.push_back(std::move(Text));
    Nodes.back().Parent = Parent;
    (Parent < 0 ? Roots : Nodes[static_cast<size_t>(Parent)].Children).push_back(index);
    return index;
  }

  void RebuildShown() {
    Shown.clear();
    std::vector<std::pair<const std::vector<Integer>*, size_t>> stack{{&Roots, 0}};
    while (!stack.empty()) {
      auto& [list, next] = stack.back();
      if (next == list->size()) {
        stack.pop_back();
        continue;
      }
      Integer node = (*list)[next++];
      Shown.push_back(node);
      const TPlainNode& n = Nodes[static_cast<size_t>(node)];
      if (n.Expanded && !n.Children.empty()) stack.emplace_back(&n.Children, 0);
    }
  }

  // Expand all and collapse all: one walk over the nodes setting the flag of every parent.
  void ExpandAll(bool Expanded) {
    for (TPlainNode& node : Nodes)
      if (!node.Children.empty()) node.Expanded = Expanded;
    RebuildShown();
  }

  // One node's rows spliced in or cut out of the shown rows (its children are leaves).
  void SetExpanded(Integer Node, bool Expanded) {
    TPlainNode& n = Nodes[static_cast<size_t>(Node)];
    n.Expanded = Expanded;
    auto row = std::find(Shown.begin(), Shown.end(), Node) + 1;
    if (Expanded) Shown.insert(row, n.Children.begin(), n.Children.end());
    else Shown.erase(row, row + static_cast<std::ptrdiff_t>(n.Children.size()));
  }

  std::vector<TPlainNode> Nodes;
  std::vector<Integer> Roots;
  std::vector<Integer> Shown;
};

void FillPlain(TPlainTree& Plain, Integer Parents) {
  for (Integer p = 0; p < Parents; ++p) {
    Integer parent = Plain.Add(-1, "Parent " + IntToStr(p));
    for (Integer c = 0; c < kChildren; ++c) Plain.Add(parent, "Child " + IntToStr(c));
  }
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

void BM_YardstickBuild100000Nodes(benchmark::State& state) {
  for (auto _ : state) {
    auto* plain = new TPlainTree;
    FillPlain(*plain, kParents);
    plain->RebuildShown();
    benchmark::DoNotOptimize(plain->Shown.data());
    state.PauseTiming();
    delete plain;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kParents * (kChildren + 1));
}
BENCHMARK(BM_YardstickBuild100000Nodes)->Unit(benchmark::kMillisecond);

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

// Expanding all 1,000 parents inside one update bracket (the display order settled once), then
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

void BM_YardstickExpandAll(benchmark::State& state) {
  TPlainTree plain;
  FillPlain(plain, kParents);
  plain.RebuildShown();
  for (auto _ : state) {
    plain.ExpandAll(true);
    state.PauseTiming();
    if (plain.Shown.size() != static_cast<size_t>(kParents * (kChildren + 1))) state.SkipWithError("not all expanded");
    plain.ExpandAll(false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_YardstickExpandAll)->Unit(benchmark::kMillisecond);

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

void BM_YardstickCollapseAll(benchmark::State& state) {
  TPlainTree plain;
  FillPlain(plain, kParents);
  for (auto _ : state) {
    state.PauseTiming();
    plain.ExpandAll(true);
    state.ResumeTiming();
    plain.ExpandAll(false);
  }
}
BENCHMARK(BM_YardstickCollapseAll)->Unit(benchmark::kMillisecond);

// Node by node, every expansion settles the display order (as a user's clicks do).
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

// One click's worth: with some parents already expanded, expanding and collapsing one more parent
// touches only its 100 rows, however many rows are shown.
void ExpandOneAmongShownRows(benchmark::State& state, Integer Parents, Integer Expanded) {
  TzmTreeListUnits units;
  TCustomzmTreeListControl* tree = NewTree();
  tree->BeginUpdate();
  for (Integer p = 0; p < Parents; ++p) {
    TzmTreeListNode* parent = tree->AddNode(nullptr);
    parent->SetStrings(0, "Parent " + IntToStr(p));
    for (Integer c = 0; c < kChildren; ++c) parent->AddChild()->SetStrings(0, "Child " + IntToStr(c));
  }
  for (Integer p = 0; p < Expanded; ++p) tree->GetRootNode(p)->SetExpanded(true);
  tree->EndUpdate();
  TzmTreeListNode* node = tree->GetRootNode(Parents * 3 / 4);
  for (auto _ : state) {
    node->SetExpanded(true);
    node->SetExpanded(false);
  }
  state.counters["rows"] = tree->GetVisibleNodeCount();
  state.SetItemsProcessed(state.iterations() * 2);
  Free(tree);
}

void BM_TreeListExpandOneAmong50000ShownRows(benchmark::State& state) {
  ExpandOneAmongShownRows(state, kParents, kParents / 2);
}
BENCHMARK(BM_TreeListExpandOneAmong50000ShownRows)->Unit(benchmark::kMicrosecond);

void BM_YardstickExpandOneAmong50000ShownRows(benchmark::State& state) {
  TPlainTree plain;
  FillPlain(plain, kParents);
  for (Integer p = 0; p < kParents / 2; ++p) plain.Nodes[static_cast<size_t>(plain.Roots[static_cast<size_t>(p)])].Expanded = true;
  plain.RebuildShown();
  Integer node = plain.Roots[static_cast<size_t>(kParents * 3 / 4)];
  for (auto _ : state) {
    plain.SetExpanded(node, true);
    plain.SetExpanded(node, false);
  }
  state.counters["rows"] = static_cast<double>(plain.Shown.size());
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_YardstickExpandOneAmong50000ShownRows)->Unit(benchmark::kMicrosecond);

// The same click among ten times fewer and ten times more shown rows: it should cost the same.
void BM_TreeListExpandOneAmong5000ShownRows(benchmark::State& state) { ExpandOneAmongShownRows(state, kParents, 40); }
BENCHMARK(BM_TreeListExpandOneAmong5000ShownRows)->Unit(benchmark::kMicrosecond);

void BM_TreeListExpandOneAmong500000ShownRows(benchmark::State& state) {
  ExpandOneAmongShownRows(state, kParents * 10, kParents * 5 - 100);
}
BENCHMARK(BM_TreeListExpandOneAmong500000ShownRows)->Unit(benchmark::kMicrosecond);

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

// The paged tree's first two columns copied into the plain model, node for node in creation
// order (so that a node's index is its place in the tie rule); Origin maps the tree's nodes.
void CopyToPlain(TCustomzmTreeListControl* Tree, TPlainTree& Plain,
                 std::unordered_map<const TzmTreeListNode*, Integer>& Origin) {
  for (TzmTreeListNode* node = Tree->GetFirstRootNode(); node; node = node->GetNext()) {
    Integer parent = node->GetParent() ? Origin.at(node->GetParent()) : -1;
    Integer index = Plain.Add(parent, node->GetStrings(0));
    Plain.Nodes[static_cast<size_t>(index)].Texts.push_back(node->GetStrings(1));
    Plain.Nodes[static_cast<size_t>(index)].Expanded = node->GetExpanded();
    Origin[node] = index;
  }
}

void SortPlain(TPlainTree& Plain, size_t Column) {
  auto before = [&Plain, Column](Integer A, Integer B) {
    Integer r = AnsiCompareStr(Plain.Nodes[static_cast<size_t>(A)].Texts[Column],
                               Plain.Nodes[static_cast<size_t>(B)].Texts[Column]);
    return r != 0 ? r < 0 : A < B;
  };
  std::stable_sort(Plain.Roots.begin(), Plain.Roots.end(), before);
  for (TPlainNode& node : Plain.Nodes)
    if (node.Children.size() > 1) std::stable_sort(node.Children.begin(), node.Children.end(), before);
  Plain.RebuildShown();
}

bool SameOrder(TCustomzmTreeListControl* Tree, const TPlainTree& Plain,
               const std::unordered_map<const TzmTreeListNode*, Integer>& Origin) {
  if (Plain.Shown.size() != static_cast<size_t>(Tree->GetVisibleNodeCount())) return false;
  for (size_t row = 0; row < Plain.Shown.size(); ++row)
    if (Origin.at(Tree->VisibleNodeAt(static_cast<Integer>(row))) != Plain.Shown[row]) return false;
  return true;
}

// std::stable_sort of the same texts by the same collation and tie rule, list by list, and the
// shown rows walked again; checked once against the tree list's own order.
void BM_YardstickSort100000Nodes(benchmark::State& state) {
  TzmTreeListUnits units;
  TPagedTree paged;
  TPlainTree plain;
  std::unordered_map<const TzmTreeListNode*, Integer> origin;
  CopyToPlain(paged.Tree, plain, origin);
  paged.Tree->ColumnAt(1)->SetSorted(TzmTreeListColumnSort::csUp);
  SortPlain(plain, 1);
  if (!SameOrder(paged.Tree, plain, origin)) state.SkipWithError("not the tree list's order");
  bool byNumber = false;
  for (auto _ : state) {
    SortPlain(plain, byNumber ? 1 : 0);
    byNumber = !byNumber;
  }
  state.SetItemsProcessed(state.iterations() * kParents * kChildren);
}
BENCHMARK(BM_YardstickSort100000Nodes)->Unit(benchmark::kMillisecond);

}  // namespace

// The allocator's limits pinned: left to adjust themselves, they hand a freed tree's memory back
// to the system or keep it depending on the large blocks the cases before happened to free, and
// a case's figure would then depend on which cases ran before it (on a virtual machine, taking
// the pages back costs more than building the nodes).
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
