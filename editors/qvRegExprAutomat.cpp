// The automaton of the regular-expression language: the parse tree is linked into a graph of
// character-consuming (simple) states and empty-step (block) states, which is then walked one
// character at a time, keeping every earlier state set so that a character can be taken back.
#include "editors/qvRegExprAutomat.h"

#include <algorithm>

QJ_IMPLEMENT_CLASS(TqvRegExprState)
QJ_IMPLEMENT_CLASS(TqvRegExprSimpleState)
QJ_IMPLEMENT_CLASS(TqvRegExprBlockState)
QJ_IMPLEMENT_CLASS(TqvRegExprAutomat)

// ---------------------------------------------------------------------------------------------
// States and sets

bool TqvRegExprSimpleState::StepOn(char& ch, bool ACaseInsensitive) const {
  return FTest && FTest->Matches(ch, ACaseInsensitive);
}

TOwned<TqvRegExprState> TqvRegExprSimpleState::Duplicate() const {
  return MakeOwned<TqvRegExprSimpleState>(FTest ? FTest->Duplicate() : nullptr);
}

TOwned<TqvRegExprState> TqvRegExprBlockState::Duplicate() const { return MakeOwned<TqvRegExprBlockState>(); }

namespace {

const TqvRegExprSimpleState* AsSimple(const TqvRegExprState* AState) {
  return AState->GetKind() == TqvRegExprStateKind::Simple ? static_cast<const TqvRegExprSimpleState*>(AState)
                                                          : nullptr;
}

// The one character a literal test stands for.
bool LiteralOf(const TqvRegExprItem* ATest, char& c) {
  if (!ATest) return false;
  if (const auto* symbol = As<TqvRegExprSymbol>(ATest)) {
    c = symbol->GetChar();
    return true;
  }
  if (ATest->IsExactly<TqvRegExprDateSeparator>()) {
    c = FormatSettings().DateSeparator;
    return true;
  }
  if (ATest->IsExactly<TqvRegExprTimeSeparator>()) {
    c = FormatSettings().TimeSeparator;
    return true;
  }
  return false;
}

}  // namespace

bool TqvRegExprStates::HasFinal() const {
  return std::any_of(FItems.begin(), FItems.end(), [](const TqvRegExprState* state) {
    const TqvRegExprSimpleState* simple = AsSimple(state);
    return simple && simple->GetFinal();
  });
}

bool TqvRegExprStates::SingleLiteral(char& c) const {
  if (FItems.empty()) return false;
  char found = 0;
  for (size_t i = 0; i < FItems.size(); ++i) {
    const TqvRegExprSimpleState* simple = AsSimple(FItems[i]);
    char literal;
    if (!simple || !LiteralOf(simple->GetTest(), literal)) return false;
    if (i > 0 && literal != found) return false;
    found = literal;
  }
  c = found;
  return true;
}

bool TqvRegExprStates::CanComplete() const {
  return std::any_of(FItems.begin(), FItems.end(), [](const TqvRegExprState* state) {
    const TqvRegExprSimpleState* simple = AsSimple(state);
    return simple && simple->GetCanComplete();
  });
}

// ---------------------------------------------------------------------------------------------
// Linking

namespace {

// Out-states of the items from the last backwards, up to and including the last that may not
// be skipped.
void LinkLastStatesTo(const TqvRegExprParserItems& AItems, TqvRegExprState* ATarget) {
  for (auto it = AItems.rbegin(); it != AItems.rend(); ++it) {
    (*it)->GetOutState()->AddSuccessor(ATarget);
    if (!(*it)->MayBeSkipped()) return;
  }
}

TqvRegExprState* LinkAlternative(TqvRegExprParserAlt& AAlt);

void LinkBlock(TqvRegExprParserBlockItem& ABlock) {
  if (ABlock.MayRepeat()) ABlock.GetExit()->AddSuccessor(ABlock.GetEntry());
  auto& alts = ABlock.GetAlternatives();
  for (TqvRegExprParserAlt& alt : alts)
    if (TqvRegExprState* first = LinkAlternative(alt)) ABlock.GetEntry()->AddSuccessor(first);
  if (std::any_of(alts.begin(), alts.end(), [](const TqvRegExprParserAlt& alt) { return alt.AllMayBeSkipped(); }))
    ABlock.GetEntry()->AddSuccessor(ABlock.GetExit());
  for (const TqvRegExprParserAlt& alt : alts) LinkLastStatesTo(alt.Items, ABlock.GetExit());
}

// Links the items of an alternative and returns the state that leads into it (nullptr for an
// empty one). A state before item i leads to the in-states of items i, i+1, ... up to and
// including the first that may not be skipped. Where items may be skipped, that list goes
// through a junction (an empty step to the item and to the junction of the items after it), so
// a run of k optional items costs k links, not k * k; a walk meets the in-states in the same
// order either way.
TqvRegExprState* LinkAlternative(TqvRegExprParserAlt& AAlt) {
  const size_t count = AAlt.Items.size();
  std::vector<TqvRegExprState*> follow(count + 1, nullptr);
  for (size_t i = count; i-- > 0;) {
    TqvRegExprState* in = AAlt.Items[i]->GetInState();
    TqvRegExprState* rest = follow[i + 1];
    if (!AAlt.Items[i]->MayBeSkipped() || !rest) {
      follow[i] = in;
      continue;
    }
    TOwned<TqvRegExprBlockState>& junction = AAlt.Junctions.emplace_back(MakeOwned<TqvRegExprBlockState>());
    junction->AddSuccessor(in);
    junction->AddSuccessor(rest);
    follow[i] = junction.get();
  }
  for (size_t i = 0; i < count; ++i) {
    TqvRegExprParserItem& item = *AAlt.Items[i];
    if (follow[i + 1]) item.GetOutState()->AddSuccessor(follow[i + 1]);
    if (auto* block = As<TqvRegExprParserBlockItem>(&item))
      LinkBlock(*block);
    else if (item.MayRepeat())
      item.GetOutState()->AddSuccessor(item.GetOutState());
  }
  return follow[0];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Automaton

TqvRegExprAutomat::TqvRegExprAutomat(TqvRegExprParserAlts AAlternatives, TqvRegExpr* AOwner)
    : FOwner(AOwner),
      FAlternatives(std::move(AAlternatives)),
      FStartState(MakeOwned<TqvRegExprSimpleState>(nullptr)) {
  for (TqvRegExprParserAlt& alt : FAlternatives)
    if (TqvRegExprState* first = LinkAlternative(alt)) FStartState->AddSuccessor(first);
  for (TqvRegExprParserAlt& alt : FAlternatives) {
    MarkAlternativeFinal(alt);
    if (alt.AllMayBeSkipped()) FStartState->SetFinal(true);
  }
  NumberStates();
  MarkCompletableStates();
  FCurrent.Add(FStartState.get());
}

TqvRegExprAutomat::~TqvRegExprAutomat() = default;

// Every state reachable from the start, numbered in the order found.
void TqvRegExprAutomat::NumberStates() {
  FStates.push_back(FStartState.get());
  FStartState->FIndex = 0;
  for (size_t i = 0; i < FStates.size(); ++i)
    for (TqvRegExprState* next : FStates[i]->GetSuccessors())
      if (next->FIndex < 0) {
        next->FIndex = static_cast<Integer>(FStates.size());
        FStates.push_back(next);
      }
}

// A state can complete the text when a final state is reachable from it: walked backwards from
// the final states.
void TqvRegExprAutomat::MarkCompletableStates() {
  std::vector<std::vector<Integer>> predecessors(FStates.size());
  for (TqvRegExprState* state : FStates)
    for (TqvRegExprState* next : state->GetSuccessors()) predecessors[next->FIndex].push_back(state->FIndex);
  std::vector<bool> reached(FStates.size(), false);
  std::vector<Integer> pending;
  for (TqvRegExprState* state : FStates) {
    const TqvRegExprSimpleState* simple = AsSimple(state);
    if (simple && simple->GetFinal()) {
      reached[state->FIndex] = true;
      pending.push_back(state->FIndex);
    }
  }
  while (!pending.empty()) {
    Integer index = pending.back();
    pending.pop_back();
    for (Integer previous : predecessors[index])
      if (!reached[previous]) {
        reached[previous] = true;
        pending.push_back(previous);
      }
  }
  for (TqvRegExprState* state : FStates)
    if (state->GetKind() == TqvRegExprStateKind::Simple)
      static_cast<TqvRegExprSimpleState*>(state)->FCanComplete = reached[state->FIndex];
}

// Walks from the successors of every state of ASet, in order, through block states (which
// consume nothing) to simple states, which AVisit takes or refuses. The character passes from
// test to test along every path in turn, as a case-insensitive symbol test re-cases it, so the
// last accepting test decides its case. A state met again with the character it was met with
// before would answer as before and leave the same character: the walk replays that outcome
// instead of walking the paths again. The result holds each state once, in the order first
// taken, and a walk costs the graph's size times the few cases the character takes.
template <class TVisitSimple>
TqvRegExprStates TqvRegExprAutomat::Walk(const TqvRegExprStates& ASet, char& ch, TVisitSimple AVisit) {
  TqvRegExprStates result;
  ++FWalkMark;
  FWalkStack.clear();
  FWalkVisits.clear();
  const auto& from = ASet.GetItems();
  for (auto state = from.rbegin(); state != from.rend(); ++state)
    for (auto next = (*state)->GetSuccessors().rbegin(); next != (*state)->GetSuccessors().rend(); ++next)
      FWalkStack.push_back({*next, -1});
  while (!FWalkStack.empty()) {
    TWalkFrame frame = FWalkStack.back();
    FWalkStack.pop_back();
    if (frame.Leaving >= 0) {
      FWalkVisits[frame.Leaving].Out = ch;
      FWalkVisits[frame.Leaving].Done = true;
      continue;
    }
    TqvRegExprState* state = frame.State;
    Integer met = FindVisit(state, ch);
    if (met >= 0) {
      if (FWalkVisits[met].Done) ch = FWalkVisits[met].Out;
      continue;
    }
    Integer visit = AddVisit(state, ch);
    if (state->GetKind() == TqvRegExprStateKind::Block) {
      FWalkStack.push_back({state, visit});
      const auto& successors = state->GetSuccessors();
      for (auto next = successors.rbegin(); next != successors.rend(); ++next) FWalkStack.push_back({*next, -1});
      continue;
    }
    if (AVisit(static_cast<TqvRegExprSimpleState*>(state), ch) && state->FTakenMark != FWalkMark) {
      state->FTakenMark = FWalkMark;
      result.Add(state);
    }
    FWalkVisits[visit].Out = ch;
    FWalkVisits[visit].Done = true;
  }
  return result;
}

Integer TqvRegExprAutomat::FindVisit(const TqvRegExprState* AState, char AIn) const {
  if (AState->FVisitMark != FWalkMark) return -1;
  for (Integer i = AState->FFirstVisit; i >= 0; i = FWalkVisits[i].Next)
    if (FWalkVisits[i].In == AIn) return i;
  return -1;
}

Integer TqvRegExprAutomat::AddVisit(TqvRegExprState* AState, char AIn) {
  Integer first = AState->FVisitMark == FWalkMark ? AState->FFirstVisit : -1;
  AState->FVisitMark = FWalkMark;
  AState->FFirstVisit = static_cast<Integer>(FWalkVisits.size());
  FWalkVisits.push_back({AIn, AIn, false, first});
  return AState->FFirstVisit;
}

TqvRegExprStates TqvRegExprAutomat::NextPossible(const TqvRegExprStates& ASet) {
  char unused = 0;
  return Walk(ASet, unused, [](TqvRegExprSimpleState*, char&) { return true; });
}

TqvRegExprStates TqvRegExprAutomat::Step(const TqvRegExprStates& ASet, char& ch, bool ACaseInsensitive) {
  return Walk(ASet, ch, [ACaseInsensitive](TqvRegExprSimpleState* state, char& tested) {
    return state->StepOn(tested, ACaseInsensitive);
  });
}

bool TqvRegExprAutomat::ConsumeChar(char& ch, bool ACaseInsensitive) {
  char tested = ch;
  TqvRegExprStates next = Step(FCurrent, tested, ACaseInsensitive);
  if (next.IsEmpty()) return false;
  ch = tested;
  FHistory.push_back(std::move(FCurrent));
  FCurrent = std::move(next);
  return true;
}

bool TqvRegExprAutomat::StepBack() {
  if (FHistory.empty()) return false;
  FCurrent = std::move(FHistory.back());
  FHistory.pop_back();
  return true;
}

void TqvRegExprAutomat::Restart() {
  FHistory.clear();
  FCurrent = TqvRegExprStates();
  FCurrent.Add(FStartState.get());
}

bool TqvRegExprAutomat::AtStart() const {
  return !FCurrent.IsEmpty() && FCurrent.GetItem(0) == FStartState.get();
}

// A literal is forced after APrevious when it is the only character that can follow, the text
// is not complete yet, and the text can still be completed after it. The last condition ends
// every forced run: the run is then the only way on, so it reaches a complete text within as
// many steps as the pattern has states; a pattern that can never be completed (such as
// "a+b{0}") forces nothing.
bool TqvRegExprAutomat::IsForcedAfter(const TqvRegExprStates& APrevious, const TqvRegExprStates& ANext,
                                      char& c) const {
  return !APrevious.HasFinal() && ANext.SingleLiteral(c) && ANext.CanComplete();
}

void TqvRegExprAutomat::AdvanceForcedLiterals() {
  TAliveToken alive = FAlive.Token();
  TqvRegExprStates next = NextPossible(FCurrent);
  char c;
  while (IsForcedAfter(FCurrent, next, c)) {
    if (FOwner->OnAddChar) {
      FOwner->OnAddChar(c);
      if (!alive) return;  // the handler freed or recompiled the expression
    }
    FHistory.push_back(std::move(FCurrent));
    FCurrent = std::move(next);
    next = NextPossible(FCurrent);
  }
}

void TqvRegExprAutomat::RollBackForcedLiterals() {
  TAliveToken alive = FAlive.Token();
  char c;
  while (FCurrent.SingleLiteral(c) && !FHistory.empty()) {
    const TqvRegExprStates& previous = FHistory.back();
    TqvRegExprStates next = NextPossible(previous);
    if (!IsForcedAfter(previous, next, c)) return;  // the literal was typed, not forced
    if (FOwner->OnDeleteChar) {
      FOwner->OnDeleteChar();
      if (!alive) return;
    }
    StepBack();
  }
}
