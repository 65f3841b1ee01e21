// The dataset layer on the SQL database: opening a million-row table and reading its first window,
// moving through all of it, Locate by the row number and by text, and 10,000 inserts posted in
// one transaction. The walk with Next runs on a database in memory and on one in a file, each
// beside its yardstick: the same rows read by one prepared statement stepped to the end.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "platform/data/DB.h"
#include "platform/data/DBSQLite.h"
#include "platform/rtl/FileTestSupport.h"

namespace {

constexpr Integer kMillion = 1000000;
constexpr Integer kWindow = 100;

// Reads every field of every row of its window, as a grid in grid mode does.
class TWindowReader : public TDataLink {
 public:
  Integer ReadWindow() {
    Integer read = 0;
    Integer active = GetActiveRecord();
    for (Integer row = 0; row < GetRecordCount(); ++row) {
      SetActiveRecord(row);
      for (Integer i = 0; i < GetDataSet()->GetFieldCount(); ++i)
        read += static_cast<Integer>(GetDataSet()->GetField(i)->GetDisplayText().size());
    }
    SetActiveRecord(active);
    return read;
  }
};

enum TPlace { kInMemory, kOnFile };

// A million channels in a database in memory or in a file, a table on them with a 100-row link.
struct TChannels {
  explicit TChannels(TPlace APlace)
      : Db(New<TSQLiteDatabase>(nullptr)), Table(New<TSQLiteTable>(nullptr)), Source(New<TDataSource>(nullptr)) {
    if (APlace == kOnFile) Db->SetFileName(Folder.File("channels.db"));
    Db->ExecSQL(
        "CREATE TABLE Channels (Id INTEGER PRIMARY KEY, Name VARCHAR(40), Frequency INTEGER, Radio BOOLEAN, "
        "Added DATE)");
    Db->ExecSQL(Format(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
        "INSERT INTO Channels SELECT i, printf('Channel %%07d', (i * 7919) %% %d), 10700 + i %% 2050, "
        "i %% 4 = 0, '2024-01-01' FROM n",
        {kMillion, kMillion}));
    Table->SetDatabase(Db);
    Table->SetTableName("Channels");
    Source->SetDataSet(Table);
    Link = MakeOwned<TWindowReader>();
    Link->SetBufferCount(kWindow);
    Link->SetDataSource(Source);
  }
  ~TChannels() {
    Link.reset();
    Free(Source);
    Free(Table);
    Free(Db);
  }
  TChannels(const TChannels&) = delete;
  TChannels& operator=(const TChannels&) = delete;

  TTempFolder Folder;
  TSQLiteDatabase* Db;
  TSQLiteTable* Table;
  TDataSource* Source;
  TOwned<TWindowReader> Link;
};

TChannels& Channels(TPlace APlace = kInMemory) {
  static TChannels inMemory(kInMemory);
  if (APlace == kInMemory) return inMemory;
  static TChannels onFile(kOnFile);
  return onFile;
}

// The yardstick: every column of every row read as the engine gives it, by one statement.
void BM_RawScan(benchmark::State& state, TPlace APlace) {
  TChannels& c = Channels(APlace);
  sqlite3* db = c.Db->GetHandle();
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT Id, Name, Frequency, Radio, Added FROM Channels ORDER BY Id", -1, &statement,
                       nullptr);
    Int64 sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        if (sqlite3_column_type(statement, i) == SQLITE_TEXT)
          sum += sqlite3_column_bytes(statement, i) + *sqlite3_column_text(statement, i);
        else
          sum += sqlite3_column_int64(statement, i);
      }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK_CAPTURE(BM_RawScan, memory, kInMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_RawScan, file, kOnFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenAndReadFirstWindow(benchmark::State& state) {
  TChannels& c = Channels();
  c.Table->Close();
  for (auto _ : state) {
    c.Table->Open();
    benchmark::DoNotOptimize(c.Link->ReadWindow());
    state.PauseTiming();
    c.Table->Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenAndReadFirstWindow)->Unit(benchmark::kMillisecond);

// Next from the first record to the last, the window following the cursor.
void BM_NextThroughTable(benchmark::State& state, TPlace APlace) {
  TChannels& c = Channels(APlace);
  c.Table->Open();
  for (auto _ : state) {
    c.Table->First();
    while (!c.Table->GetEof()) c.Table->Next();
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK_CAPTURE(BM_NextThroughTable, memory, kInMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_NextThroughTable, file, kOnFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// MoveBy a whole window at a time, reading every row shown, like paging a grid.
void BM_MoveByPagesReadingWindows(benchmark::State& state) {
  TChannels& c = Channels();
  c.Table->Open();
  for (auto _ : state) {
    c.Table->First();
    while (!c.Table->GetEof()) {
      benchmark::DoNotOptimize(c.Link->ReadWindow());
      c.Table->MoveBy(kWindow);
    }
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_MoveByPagesReadingWindows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LocateRowNumber(benchmark::State& state) {
  TChannels& c = Channels();
  c.Table->Open();
  Integer key = 1;
  for (auto _ : state) {
    key = (key * 7919 + 13) % kMillion + 1;
    benchmark::DoNotOptimize(c.Table->Locate("Id", key, 0));
  }
}
BENCHMARK(BM_LocateRowNumber)->Unit(benchmark::kMicrosecond);

// A text key without case: every row is compared.
void BM_LocateNameWithoutCase(benchmark::State& state) {
  TChannels& c = Channels();
  c.Table->Open();
  for (auto _ : state) benchmark::DoNotOptimize(c.Table->Locate("Name", "CHANNEL 0999999", loCaseInsensitive));
}
BENCHMARK(BM_LocateNameWithoutCase)->Unit(benchmark::kMillisecond);

// A filter whose IN list holds state.range(0) values, applied to a table of 1,000 rows: parsed,
// compiled, every value bound, and the rows selected.
void BM_FilterInList(benchmark::State& state) {
  auto db = TOwned<TSQLiteDatabase>(New<TSQLiteDatabase>(nullptr));
  db->ExecSQL(
      "CREATE TABLE Items (Id INTEGER PRIMARY KEY, Name TEXT);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) INSERT INTO Items SELECT i, "
      "'Item' || i FROM n");
  auto table = TOwned<TSQLiteTable>(New<TSQLiteTable>(nullptr));
  table->SetDatabase(db.get());
  table->SetTableName("Items");
  table->SetFiltered(true);
  table->Open();
  String values;
  for (Int64 i = 1; i <= state.range(0); ++i) values += (i > 1 ? "," : "") + IntToStr(i * 5);
  const String filters[] = {"Id IN (" + values + ")", "Id IN (" + values + ") AND Id > 0"};
  table->SetFilter(filters[1]);  // the first run also pays for the memory it takes from the system
  Integer next = 0;
  for (auto _ : state) table->SetFilter(filters[next++ % 2]);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FilterInList)->Arg(16000)->Arg(32000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_Post10000InsertsInOneTransaction(benchmark::State& state) {
  TChannels& c = Channels();
  auto inserts = TOwned<TSQLiteTable>(New<TSQLiteTable>(nullptr));
  inserts->SetDatabase(c.Db);
  inserts->SetTableName("Inserts");
  for (auto _ : state) {
    state.PauseTiming();
    c.Db->ExecSQL("DROP TABLE IF EXISTS Inserts; CREATE TABLE Inserts (Id INTEGER PRIMARY KEY, Name VARCHAR(40), N INTEGER)");
    inserts->Open();
    state.ResumeTiming();
    c.Db->StartTransaction();
    for (Integer i = 0; i < 10000; ++i) {
      inserts->Append();
      inserts->GetField(1)->SetAsString("Channel");
      inserts->GetField(2)->SetAsInteger(i);
      inserts->Post();
    }
    c.Db->Commit();
    state.PauseTiming();
    inserts->Close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Post10000InsertsInOneTransaction)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
