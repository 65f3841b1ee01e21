// Dataset controllers over a table of channels in an in-memory database, each case beside its
// yardstick in the same program: a plain prepare/step loop of the database engine reading the
// same columns of the same rows.
//   - the normal-mode load of every record, and the dataset's own walk with Next;
//   - grid mode: opening, going to the last record and paging, at 10,000 to 1,000,000 rows;
//   - a reload that keeps 100,000 selected records by key;
//   - the lookup combo box over 100,000 channels, normal and grid mode: the drop-down until its
//     list has painted for the first time, and locating by typing three characters.
// The lookup figures run on the headless screen (the program selects it for itself).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "dataaware/qvDBData.h"
#include "dataaware/qvDBLookupComboBox.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "platform/data/DBSQLite.h"
#include "platform/forms/Forms.h"
#include "platform/os/Windows.h"

namespace {

constexpr Integer kMillion = 1000000;

class TBenchItem : public TObject {
  QJ_INLINE_CLASS(TBenchItem, TObject)
};

// A database of ARows channels, a table on it and a data source.
struct TChannelTable {
  explicit TChannelTable(Integer ARows) : Owner(New<TComponent>(nullptr)) {
    Db = New<TSQLiteDatabase>(Owner.get());
    Db->ExecSQL("CREATE TABLE Channels (Id INTEGER PRIMARY KEY, Name VARCHAR(40), Frequency INTEGER, Radio BOOLEAN)");
    Db->ExecSQL(Format(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
        "INSERT INTO Channels SELECT i, printf('Channel %%07d', (i * 7919) %% %d), 10700 + i %% 2050, i %% 4 = 0 "
        "FROM n",
        {ARows, ARows}));
    Table = New<TSQLiteTable>(Owner.get());
    Table->SetDatabase(Db);
    Table->SetTableName("Channels");
    Source = New<TDataSource>(Owner.get());
    Source->SetDataSet(Table);
  }

  TOwned<TComponent> Owner;
  TSQLiteDatabase* Db;
  TSQLiteTable* Table;
  TDataSource* Source;
};

TChannelTable& Channels(Integer ARows) {
  static std::map<Integer, std::unique_ptr<TChannelTable>> tables;
  auto& table = tables[ARows];
  if (!table) table = std::make_unique<TChannelTable>(ARows);
  return *table;
}

// A controller with the items Id, Name and Frequency on the table.
struct TBoundController {
  explicit TBoundController(TChannelTable& ATable) : Controller(New<TqvDBDataController>(nullptr)) {
    Controller->BeginUpdate();
    const char* names[] = {"Id", "Name", "Frequency"};
    for (Integer i = 0; i < 3; ++i) {
      Controller->AddItem(&Items[i]);
      Controller->SetItemFieldName(i, names[i]);
    }
    Controller->EndUpdate();
    Controller->SetDataSource(ATable.Source);
  }

  TOwned<TqvDBDataController> Controller;
  TBenchItem Items[3];
};

// The yardstick: the engine's own loop over the same columns, each text copied once.
void BM_SQLiteStepLoop(benchmark::State& state) {
  TChannelTable& t = Channels(kMillion);
  sqlite3* db = t.Db->GetHandle();
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT Id, Name, Frequency FROM Channels ORDER BY Id", -1, &statement, nullptr);
    Int64 sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      sum += sqlite3_column_int64(statement, 0) + sqlite3_column_int(statement, 2);
      String name(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)),
                  static_cast<size_t>(sqlite3_column_bytes(statement, 1)));
      sum += static_cast<Int64>(name.size());
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_SQLiteStepLoop)->Unit(benchmark::kMillisecond);

// Every record into the controller's storage.
void BM_NormalModeLoad(benchmark::State& state) {
  TChannelTable& t = Channels(kMillion);
  t.Table->Open();
  TBoundController bound(t);
  for (auto _ : state) bound.Controller->DataChanged(dckEverything, -1, -1);
  benchmark::DoNotOptimize(bound.Controller->GetRecordCount());
  state.SetItemsProcessed(state.iterations() * kMillion);
  bound.Controller->SetDataSource(nullptr);
  t.Table->Close();
}
BENCHMARK(BM_NormalModeLoad)->Unit(benchmark::kMillisecond);

// The dataset's own walk, reading the same fields.
void BM_DataSetNext(benchmark::State& state) {
  TChannelTable& t = Channels(kMillion);
  t.Table->Open();
  TField* id = t.Table->FieldByName("Id");
  TField* name = t.Table->FieldByName("Name");
  TField* frequency = t.Table->FieldByName("Frequency");
  for (auto _ : state) {
    Int64 sum = 0;
    t.Table->First();
    while (!t.Table->GetEof()) {
      sum += id->GetAsLargeInt() + frequency->GetAsInteger() + static_cast<Int64>(name->GetAsString().size());
      t.Table->Next();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
  t.Table->Close();
}
BENCHMARK(BM_DataSetNext)->Unit(benchmark::kMillisecond);

// Grid mode: a controller with a 50-row buffer.
struct TGridController : TBoundController {
  explicit TGridController(TChannelTable& ATable) : TBoundController(ATable) {
    Controller->GetDataModeController()->SetGridModeBufferCount(50);
    Controller->GetDataModeController()->SetGridMode(true);
  }
};

void BM_GridModeOpen(benchmark::State& state) {
  TChannelTable& t = Channels(static_cast<Integer>(state.range(0)));
  TGridController grid(t);
  for (auto _ : state) {
    t.Table->Open();
    benchmark::DoNotOptimize(grid.Controller->GetDisplayText(0, 1));
    state.PauseTiming();
    t.Table->Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GridModeOpen)->Arg(10000)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMillisecond);

void BM_GridModeLast(benchmark::State& state) {
  TChannelTable& t = Channels(static_cast<Integer>(state.range(0)));
  t.Table->Open();
  TGridController grid(t);
  for (auto _ : state) {
    grid.Controller->GotoLast();
    benchmark::DoNotOptimize(grid.Controller->GetDisplayText(49, 1));
    state.PauseTiming();
    t.Table->First();
    state.ResumeTiming();
  }
  grid.Controller->SetDataSource(nullptr);
  t.Table->Close();
}
BENCHMARK(BM_GridModeLast)->Arg(10000)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMicrosecond);

// A page down: the buffer scrolls by its height, and every cell of it is read.
void BM_GridModePage(benchmark::State& state) {
  TChannelTable& t = Channels(static_cast<Integer>(state.range(0)));
  t.Table->Open();
  TGridController grid(t);
  for (auto _ : state) {
    if (grid.Controller->IsEOF()) {
      state.PauseTiming();
      t.Table->First();
      state.ResumeTiming();
    }
    grid.Controller->Scroll(50);
    Integer read = 0;
    for (Integer row = 0; row < grid.Controller->GetRecordCount(); ++row)
      read += static_cast<Integer>(grid.Controller->GetDisplayText(row, 1).size());
    benchmark::DoNotOptimize(read);
  }
  grid.Controller->SetDataSource(nullptr);
  t.Table->Close();
}
BENCHMARK(BM_GridModePage)->Arg(10000)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMicrosecond);

// A reload of 1,000,000 records that keeps 100,000 selected records by key (range(0) = 1), beside
// the same reload without a selection (0).
void BM_ReloadKeepingSelection(benchmark::State& state) {
  TChannelTable& t = Channels(kMillion);
  t.Table->Open();
  TBoundController bound(t);
  TqvDBDataController* c = bound.Controller.get();
  c->SetKeyFieldNames("Id");
  if (state.range(0)) {
    c->BeginUpdate();
    for (Integer row = 0; row < kMillion; row += 10) c->ChangeRowSelection(row, true);
    c->EndUpdate();
  }
  for (auto _ : state) c->DataChanged(dckEverything, -1, -1);
  state.counters["selected"] = c->GetSelectedCount();
  c->SetDataSource(nullptr);
  t.Table->Close();
}
BENCHMARK(BM_ReloadKeepingSelection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// -- The lookup combo box

constexpr Integer kLookupRows = 100000;

// A lookup combo box on a shown form of the headless screen, its list the channel table (key Id,
// columns Name and Frequency), in normal or grid mode.
struct TLookupScene {
  explicit TLookupScene(bool AGridMode) : Table(Channels(kLookupRows)) {
    setenv("QJ_BACKEND", "headless", 1);
    static TqvLookAndFeelUnits units;
    Table.Table->Open();
    Form = New<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Combo = New<TqvLookupComboBox>(Form);
    Combo->SetBounds(10, 10, 300, 21);
    Combo->SetParent(Form);
    TqvLookupComboBoxProperties* properties = Combo->GetProperties();
    properties->SetGridMode(AGridMode);
    properties->SetListSource(Table.Source);
    properties->SetKeyFieldNames("Id");
    properties->SetListFieldNames("Name;Frequency");
    Form->Show();
    Combo->SetFocus();
    Application->ProcessMessages();
  }
  ~TLookupScene() {
    Free(Form);
    Table.Table->Close();
  }
  // The drop-down, then every message until the list's first paint is done.
  void Open() {
    Combo->DropDown();
    Application->ProcessMessages();
    TqvLookupDBGrid* grid = Combo->GetProperties()->GetListGrid();
    if (grid->HandleAllocated()) UpdateWindow(grid->GetHandle());
  }
  void Close() {
    Combo->CloseUp(false);
    Application->ProcessMessages();
  }
  // Characters typed into the focused editor, each located at once.
  static void Type(const char* AText) {
    for (const char* c = AText; *c; ++c) SendMessage(GetFocus(), WM_CHAR, static_cast<unsigned char>(*c), 0);
    Application->ProcessMessages();
  }

  TChannelTable& Table;
  TForm* Form = nullptr;
  TqvLookupComboBox* Combo = nullptr;
};

void BM_LookupDropDownToFirstPaint(benchmark::State& state) {
  TLookupScene scene(state.range(0) != 0);
  for (auto _ : state) {
    scene.Open();
    state.PauseTiming();
    scene.Close();
    state.ResumeTiming();
  }
  state.SetLabel(state.range(0) ? "grid mode" : "normal mode");
}
BENCHMARK(BM_LookupDropDownToFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "Channel 00" typed untimed, then "999": three locates, the last of a name deep in the list.
void BM_LookupLocateThreeCharacters(benchmark::State& state) {
  TLookupScene scene(state.range(0) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    scene.Combo->SetEditValue(Null());
    Application->ProcessMessages();
    TLookupScene::Type("Channel 00");
    state.ResumeTiming();
    TLookupScene::Type("999");
  }
  state.counters["key"] = scene.Combo->GetLookupEditData()->GetCurrentKey().AsInteger();
  state.SetLabel(state.range(0) ? "grid mode" : "normal mode");
}
BENCHMARK(BM_LookupLocateThreeCharacters)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
