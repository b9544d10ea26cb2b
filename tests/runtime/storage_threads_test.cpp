// Per-thread buffers and file state, transactions, streams and the text drivers.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"
#include "storage_backend.h"
#include "storage_fixture.h"

namespace vx::test {

using namespace vx::storage;  // the storage engine's own names, unqualified
namespace {

class StorageThreads : public StorageBackendTest {};
class StorageTextFiles : public ScratchDir {};

TEST_P(StorageThreads, EachThreadHasItsOwnBufferOpenStateAndWalk) {
  const TableDef def = MakeItemTable("threads\\!items");
  File& file = File::For(def);
  ASSERT_EQ(&file, &File::For(def));
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  LOGOUT(1);
  for (int i = 1; i <= 300; ++i) {
    SetItem(i, ("n" + std::to_string(i)).c_str());
    ASSERT_EQ(file.Add(), 0);
  }
  ASSERT_EQ(COMMIT(), 0);
  // This thread holds an edit in its buffer and a walk in the middle of the file.
  ASSERT_EQ(file.Set(def.keys[0]), 0);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(file.Next(), 0);
  ItemBuffer().Name = "unsaved";

  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      // A new thread starts with a clear buffer and the file closed.
      if (ItemBuffer().Id != 0 || file.IsOpen()) ++failures[t];
      if (file.Open() != 0) ++failures[t];
      for (int i = 0; i < 50; ++i) {
        SetItem(1000 + t * 100 + i, "thread");
        if (file.Add() != 0) ++failures[t];
        if (ItemBuffer().Id != 1000 + t * 100 + i) ++failures[t];
      }
      int seen = 0;
      file.Set(def.keys[0]);
      while (file.Next() == 0) ++seen;
      if (seen < 350) ++failures[t];
      file.Close();
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));

  EXPECT_EQ(ItemBuffer().Name.str(), "unsaved");
  EXPECT_EQ(ItemBuffer().Id, 10);
  ASSERT_EQ(file.Next(), 0);  // the walk goes on where this thread left it
  EXPECT_EQ(ItemBuffer().Id, 11);
  EXPECT_EQ(file.Records(), 500);
  ASSERT_EQ(file.Close(), 0);
}

TEST_P(StorageThreads, RollbackUndoesEveryWriteOfTheTransactionAcrossFiles) {
  const TableDef a = MakeItemTable("one\\!items");
  const TableDef b = MakeItemTable("two.tps");
  File fa(a), fb(b);
  ASSERT_EQ(fa.Create(), 0);
  ASSERT_EQ(fb.Create(), 0);
  ASSERT_EQ(fa.Open(), 0);
  ASSERT_EQ(fb.Open(), 0);
  SetItem(1, "kept");
  ASSERT_EQ(fa.Add(), 0);

  LOGOUT(1);
  SetItem(2, "gone");
  ASSERT_EQ(fa.Add(), 0);
  ASSERT_EQ(fb.Add(), 0);
  SetItem(1, "");
  ASSERT_EQ(fa.Get(a.keys[0]), 0);
  ASSERT_EQ(fa.Delete(), 0);
  EXPECT_EQ(fa.Records(), 1);  // the transaction sees its own changes
  ROLLBACK();
  EXPECT_EQ(fa.Records(), 1);
  EXPECT_EQ(fb.Records(), 0);
  SetItem(1, "");
  EXPECT_EQ(fa.Get(a.keys[0]), 0);

  LOGOUT(1);
  LOGOUT(1);  // nested: only the outer COMMIT commits
  SetItem(3, "three");
  ASSERT_EQ(fb.Add(), 0);
  EXPECT_EQ(COMMIT(), 0);
  EXPECT_TRUE(InLogout());
  EXPECT_EQ(COMMIT(), 0);
  EXPECT_FALSE(InLogout());
  EXPECT_EQ(fb.Records(), 1);
}

TEST_P(StorageThreads, StreamBatchesUntilFlush) {
  const TableDef def = MakeItemTable("stream\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  ASSERT_EQ(file.Stream(), 0);
  for (int i = 0; i < 100; ++i) {
    SetItem(i, "s");
    ASSERT_EQ(file.Add(), 0);
  }
  // Another thread does not see the batch before FLUSH.
  std::int64_t seen = -1;
  std::thread([&] {
    File& same = file;
    same.Open();
    seen = same.Records();
    same.Close();
  }).join();
  EXPECT_EQ(seen, 0);
  ASSERT_EQ(file.Flush(), 0);
  std::thread([&] {
    file.Open();
    seen = file.Records();
    file.Close();
  }).join();
  EXPECT_EQ(seen, 100);

  // A thread that ends in the middle of a stream keeps what it wrote, as a close would.
  std::thread([&] {
    file.Open();
    file.Stream();
    for (int i = 0; i < 10; ++i) {
      SetItem(500 + i, "late");
      file.Add();
    }
  }).join();
  EXPECT_EQ(file.Records(), 110);
}

TEST_P(StorageThreads, AutoNumberIsOneMoreThanTheHighestSharingTheLeadingComponents) {
  const TableDef def = MakeItemTable("auto\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  const KeyDef& flag_id = def.keys[3];  // Flag + Id
  struct Step {
    std::uint8_t flag;
    std::int32_t expected;
  };
  for (const Step& step : {Step{1, 1}, Step{1, 2}, Step{2, 1}, Step{1, 3}, Step{2, 2}}) {
    SetItem(0, "x", step.flag);
    ASSERT_EQ(file.AutoNumber(flag_id), 0);
    EXPECT_EQ(ItemBuffer().Id, step.expected);
    ASSERT_EQ(file.Add(), 0);
  }
  SetItem(40, "gap", 1);
  ASSERT_EQ(file.Add(), 0);
  SetItem(0, "x", 1);
  ASSERT_EQ(file.AutoNumber(flag_id), 0);
  EXPECT_EQ(ItemBuffer().Id, 41);
  // A one-component key counts over the whole table.
  ASSERT_EQ(file.AutoNumber(def.keys[0]), 0);
  EXPECT_EQ(ItemBuffer().Id, 41);
}

TEST_P(StorageThreads, SavedStateBringsBackTheWalkAndTheBuffer) {
  const TableDef def = MakeItemTable("state\\!items");
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  for (int i = 1; i <= 5; ++i) {
    SetItem(i, "r");
    ASSERT_EQ(file.Add(), 0);
  }
  ASSERT_EQ(file.Set(def.keys[0]), 0);
  ASSERT_EQ(file.Next(), 0);
  ASSERT_EQ(file.Next(), 0);
  const std::int64_t position = file.Position();
  const FileState saved = file.GetState();
  SetItem(5, "");
  ASSERT_EQ(file.Get(def.keys[0]), 0);
  ItemBuffer().Name = "changed";
  ASSERT_EQ(file.Put(), 0);
  file.RestoreState(saved);
  EXPECT_EQ(ItemBuffer().Id, 2);
  EXPECT_EQ(file.Position(), position);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(ItemBuffer().Id, 3);
  ASSERT_EQ(file.GetPosition(position), 0);
  EXPECT_EQ(ItemBuffer().Id, 2);

  // RESET walks on from a remembered record, which the next read returns in either direction.
  for (bool backward : {false, true}) {
    ItemBuffer().Name = "kept";
    ASSERT_EQ(file.Reset(&def.keys[4], position), 0);  // descending ids
    EXPECT_EQ(ItemBuffer().Name.str(), "kept");
    ASSERT_EQ(backward ? file.Previous() : file.Next(), 0);
    EXPECT_EQ(ItemBuffer().Id, 2);
    ASSERT_EQ(backward ? file.Previous() : file.Next(), 0);
    EXPECT_EQ(ItemBuffer().Id, backward ? 3 : 1);
  }
}

// A comma-delimited table of two text fields and a number.
struct Line {
  vx::String<20> Type;
  vx::String<40> Text;
  std::int32_t Count;
};

Line& LineBuffer() {
  thread_local Line line{};
  return line;
}

TableDef MakeLineTable(const char* name, Driver driver) {
  TableDef def;
  def.label = "LINES";
  def.driver = driver;
  def.stored_name = name;
  def.record_size = sizeof(Line);
  def.fields = {ItemField("Type", FieldType::String, offsetof(Line, Type), 20),
                ItemField("Text", FieldType::String, offsetof(Line, Text), 40),
                ItemField("Count", FieldType::Long, offsetof(Line, Count), 4)};
  def.buffer = [] { return static_cast<void*>(&LineBuffer()); };
  return def;
}

std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(StorageTextFiles, BasicFilesQuoteWhatNeedsItAndReadBothLineEnds) {
  const TableDef def = MakeLineTable("Export.txt", Driver::Basic);
  File file(def);
  EXPECT_EQ(file.Open(), 2);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  const std::vector<std::pair<std::string, std::string>> rows = {{"KEYS", "plain"},
                                                                 {"DISPLAY", "a, b"},
                                                                 {"SAY", "he said \"hi\""},
                                                                 {"EMPTY", ""},
                                                                 {"LEAD", "  blank"}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    LineBuffer().Type = rows[i].first;
    LineBuffer().Text = rows[i].second;
    LineBuffer().Count = static_cast<std::int32_t>(i) - 1;
    ASSERT_EQ(file.Add(), 0);
  }
  EXPECT_EQ(ReadAll("Export.txt"),
            "KEYS,plain,-1\nDISPLAY,\"a, b\",0\nSAY,\"he said \"\"hi\"\"\",1\nEMPTY,,2\nLEAD,\"  "
            "blank\",3\n");
  EXPECT_EQ(file.Records(), 5);
  ASSERT_EQ(file.Set(), 0);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(file.Next(), 0);
    EXPECT_EQ(LineBuffer().Type.str(), rows[i].first);
    EXPECT_EQ(LineBuffer().Text.str(), rows[i].second);
    EXPECT_EQ(LineBuffer().Count, static_cast<std::int32_t>(i) - 1);
  }
  EXPECT_EQ(file.Next(), 33);
  ASSERT_EQ(file.Close(), 0);

  {
    std::ofstream out("dos.txt", std::ios::binary);
    out << "A,\"x\r\ny\",7\r\nB,z,8\r\n";
  }
  const TableDef dos = MakeLineTable("dos.txt", Driver::Basic);
  File in(dos);
  ASSERT_EQ(in.Open(), 0);
  ASSERT_EQ(in.Next(), 0);
  EXPECT_EQ(LineBuffer().Text.str(), "x\r\ny");
  EXPECT_EQ(LineBuffer().Count, 7);
  ASSERT_EQ(in.Next(), 0);
  EXPECT_EQ(LineBuffer().Type.str(), "B");
  EXPECT_EQ(LineBuffer().Count, 8);
  EXPECT_EQ(in.Next(), 33);
}

TEST_F(StorageTextFiles, AsciiFilesAppendFixedColumnLines) {
  const TableDef def = MakeLineTable("VX98Evnt.LOG", Driver::Ascii);
  File file(def);
  ASSERT_EQ(file.Create(), 0);
  ASSERT_EQ(file.Open(), 0);
  LineBuffer().Type = "12/10/2026";
  LineBuffer().Text = "Started";
  LineBuffer().Count = 42;
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(file.Open(), 0);
  LineBuffer().Type = "next";
  LineBuffer().Text = "";
  LineBuffer().Count = 0;
  ASSERT_EQ(file.Add(), 0);
  EXPECT_EQ(ReadAll("VX98Evnt.LOG"), std::string("12/10/2026          Started") +
                                         std::string(33, ' ') + "         42\nnext" +
                                         std::string(56, ' ') + "          0\n");
  ASSERT_EQ(file.Set(), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(LineBuffer().Text.str(), "Started");
  EXPECT_EQ(LineBuffer().Count, 42);
}

VX_ON_EVERY_STORAGE_BACKEND(StorageThreads);

}  // namespace
}  // namespace vx::test
