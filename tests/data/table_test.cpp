#include "data/Table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/FixedText.h"
#include "data/TableFixture.h"

namespace upfold::test {
namespace {

const CivilDate kMarch15{2005, 3, 15};

// A remote batch in insertion (key 0) order; key 1 (client, case) holds a duplicate.
std::vector<std::string> Transactions() {
  auto tr = [](const char* client, const char* seq, CivilDate date) {
    return Rec("RemBatch")
        .Text("ClientCode", client)
        .Text("CaseSuffix", "      1")
        .Text("SequenceNumber", seq)
        .Date("TransactionDate", date);
  };
  return {tr("B", "1", {2005, 3, 20}), tr("A", "2", {2005, 3, 10}), tr("B", "3", kMarch15),
          tr("A", "4", {2005, 3, 1})};
}

class TableTest : public TableFixture {
 protected:
  // A table on the remote batch TRIN01.RME, open on `index`.
  Table& Batch(const std::string& index = "1") {
    if (!std::filesystem::exists(dir / "c/MFW/DATA/TRIN01.RME"))
      MakeFile("TRIN01.RME", "RemBatch", Transactions());
    table.SetTableName("C:\\MFW\\DATA\\TRIN01.RME;RES:RemBatch");
    table.SetIndexName(index);
    table.Open();
    return table;
  }
  // Sequence numbers from here to the end (forward) or the start (backward).
  std::string Walk(Table& t, bool forward) {
    std::string seen;
    while (forward ? !t.Eof() : !t.Bof()) {
      seen += Seq(t);
      forward ? t.Next() : t.Prior();
    }
    return seen;
  }
  static std::string Seq(const Table& t) { return Trim(t.AsString("SequenceNumber")); }

  Table table{*fs, "RemoteTB"};
};

TEST_F(TableTest, OpensByTableNameInAnyCase) {
  MakeFile("TRIN01.RME", "RemBatch", Transactions());
  for (const char* name :
       {"C:\\MFW\\DATA\\TRIN01.RME;RES:RemBatch", "c:\\mfw\\data\\trin01.rme;res:REMBATCH",
        "C:/Mfw/Data/Trin01.rme;RES:rembatch"}) {
    Table t(*fs, "RemoteTB");
    t.SetTableName(name);
    t.Open();
    EXPECT_TRUE(t.Active()) << name;
    EXPECT_EQ(t.GetLayout()->name, "RemBatch") << name;
    EXPECT_EQ(t.RecordCount(), 4u) << name;
    t.Close();
    EXPECT_FALSE(t.Active());
  }
}

TEST_F(TableTest, OpenFailuresSayWhatIsWrongAndLeaveTheTableClosed) {
  MakeFile("TRIN01.RME", "RemBatch", Transactions());
  const std::string whole = dir.Read("c/MFW/DATA/TRIN01.RME");
  dir.Write("c/MFW/DATA/TEXT.RME", "Client,Case\r\nSMITH,1\r\n");
  dir.Write("c/MFW/DATA/CUT.RME", whole.substr(0, whole.size() / 2));
  struct Case {
    const char* tableName;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"C:\\MFW\\DATA\\NONE.RME;RES:RemBatch", 12,
       "Btrieve error 12: The MicroKernel cannot find the specified file"},
      {"C:\\MFW\\DATA\\TEXT.RME;RES:RemBatch", 30,
       "Btrieve error 30: The file specified is not a MicroKernel file"},
      {"C:\\MFW\\DATA\\CUT.RME;RES:RemBatch", 2,
       "Btrieve error 2: The application encountered an I/O error"},
      {"Q:\\TRIN01.RME;RES:RemBatch", 11, "Btrieve error 11: The specified filename is invalid"},
      {"C:\\MFW\\DATA\\TRIN01.RME;RES:TrDesc", 0,
       "RemoteTB: The file C:\\MFW\\DATA\\TRIN01.RME has records of 127 bytes, not the 91 of the "
       "layout TrDesc"},
      {"C:\\MFW\\DATA\\TRIN01.RME;RES:Nope", 0, "RemoteTB: Record layout 'Nope' not found"},
      {"C:\\MFW\\DATA\\TRIN01.RME", 0,
       "RemoteTB: The table name 'C:\\MFW\\DATA\\TRIN01.RME' names no record layout"},
  };
  for (const Case& c : cases) {
    Table t(*fs, "RemoteTB");
    t.SetTableName(c.tableName);
    try {
      t.Open();
      ADD_FAILURE() << c.tableName << " opened";
    } catch (const TableError& error) {
      EXPECT_EQ(error.Status(), c.status) << c.tableName;
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_FALSE(t.Active()) << c.tableName;
    EXPECT_THROW(t.First(), TableError);
  }
}

TEST_F(TableTest, DeclaredFieldsMustBeInTheLayout) {
  MakeFile("TRIN01.S", "Batch");
  table.DeclareFields({"ClientCode", "CaseSuffix"});        // remote batch fields
  table.SetTableName("C:\\MFW\\DATA\\TRIN01.S;RES:Batch");  // same length, other layout
  try {
    table.Open();
    ADD_FAILURE() << "opened";
  } catch (const TableError& error) {
    EXPECT_STREQ(error.what(), "RemoteTB: Field 'ClientCode' not found");
  }
  EXPECT_FALSE(table.Active());
  table.SetTableName("C:\\MFW\\DATA\\TRIN01.S;RES:RemBatch");
  table.Open();
  EXPECT_TRUE(table.Active());
}

TEST_F(TableTest, IndexIsAKeyNumberBelowTheFilesKeyCount) {
  const std::string name = "C:\\MFW\\DATA\\TRIN01.RME;RES:RemBatch";
  MakeFile("TRIN01.RME", "RemBatch", Transactions());
  for (const char* bad : {"5", "x", "-1", " 1", "1 ", "+1", "99999999999"}) {
    Table t(*fs, "RemoteTB");
    t.SetTableName(name);
    t.SetIndexName(bad);
    try {
      t.Open();
      ADD_FAILURE() << "'" << bad << "' opened";
    } catch (const TableError& error) {
      EXPECT_EQ(error.Status(), 6) << bad;
      EXPECT_STREQ(error.what(), "Btrieve error 6: The key number parameter is invalid");
    }
    EXPECT_FALSE(t.Active()) << bad;
  }

  Table& t = Batch("4");
  EXPECT_EQ(t.KeyNumber(), 4);
  t.Next();
  EXPECT_THROW(t.SetIndexName("5"), TableError);
  EXPECT_EQ(t.IndexName(), "4");  // unchanged, and still usable
  t.SetIndexName("");
  EXPECT_EQ(t.KeyNumber(), 0);
  EXPECT_EQ(Walk(t, true), "1234");
}

TEST_F(TableTest, MovesThroughKeyOrderWithDuplicatesBothWays) {
  Table& t = Batch("1");  // A/2, A/4, then B/1 and B/3 in insertion order
  EXPECT_TRUE(t.Bof());
  EXPECT_FALSE(t.Eof());
  EXPECT_EQ(Walk(t, true), "2413");
  EXPECT_EQ(Seq(t), "3");  // Next at the end stays on the last record
  EXPECT_FALSE(t.Bof());
  t.Prior();
  EXPECT_FALSE(t.Eof());
  EXPECT_EQ(Seq(t), "1");

  t.Last();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(Walk(t, false), "3142");
  EXPECT_EQ(Seq(t), "2");

  t.SetIndexName("3");  // transaction date: goes to the first record in that order
  EXPECT_TRUE(t.Bof());
  EXPECT_EQ(Walk(t, true), "4231");

  t.First();
  EXPECT_EQ(t.MoveBy(2), 2);
  EXPECT_EQ(Seq(t), "3");
  const RecordId mark = t.Bookmark();
  EXPECT_EQ(t.MoveBy(10), 1);
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.MoveBy(-10), -3);
  EXPECT_TRUE(t.Bof());
  t.GotoBookmark(mark);
  EXPECT_EQ(Seq(t), "3");
  t.Next();
  EXPECT_EQ(Seq(t), "1");  // the cursor continues from the bookmark in key order
}

TEST_F(TableTest, EmptyTableHasNoRecord) {
  MakeFile("EMPTY.RME", "RemBatch");
  table.SetTableName("C:\\MFW\\DATA\\EMPTY.RME;RES:RemBatch");
  table.Open();
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecordCount(), 0u);
  EXPECT_EQ(table.AsString("Unassigned2"), "");
  EXPECT_EQ(table.AsFloat("ActualHours"), 0.0);
  EXPECT_EQ(table.Bookmark(), 0);
  table.Next();
  table.Last();
  EXPECT_TRUE(table.Eof());
  EXPECT_THROW(table.Delete(), TableError);
  table.Edit();  // nothing to edit: a new record instead
  EXPECT_EQ(table.State(), TableState::Insert);
}

class LookupTest : public TableTest {
 protected:
  LookupTest() {
    auto ycase = [](const char* client, const char* suffix) {
      return Rec("YCase").Text("Client Code", client).Text("Case Suffix", suffix);
    };
    MakeFile("YCASE.LF", "YCase",
             {ycase("XYZ", "      3"), ycase("ABC", "     12"), ycase("ABC", "      1")});
    cases.SetTableName("C:\\MFW\\DATA\\YCASE.LF;RES:YCase");
    cases.SetIndexName("1");
    cases.Open();
  }
  std::string At() const {
    return Trim(cases.AsString("Client Code")) + "/" + Trim(cases.AsString("Case Suffix"));
  }
  Table cases{*fs, "CaseTB"};
};

TEST_F(LookupTest, FindKeyMatchesExactlyOrLeavesTheCursor) {
  struct Case {
    std::vector<KeyValue> values;
    const char* found;  // nullptr: not found
  };
  const Case lookups[] = {
      {{"ABC", "     12"}, "ABC/12"},
      {{"ABC    ", "     12"}, "ABC/12"},
      {{"ABC"}, "ABC/1"},  // leading segment only: the first of that client
      {{"XYZ", "      3"}, "XYZ/3"},
      {{"ABC", "12"}, nullptr},            // blank-filled on the right: "12     " is no suffix here
      {{"ABD"}, nullptr},                  // the next key is another client
      {{"ABCDEFGH", "      1"}, nullptr},  // longer than the field: can match nothing
      {{"abc", "      1"}, nullptr},
  };
  for (const Case& c : lookups) {
    cases.Last();
    cases.Prior();  // on ABC/12, away from every match
    const bool found = cases.FindKey(c.values);
    EXPECT_EQ(found, c.found != nullptr) << (c.found ? c.found : "not found");
    if (c.found) {
      EXPECT_EQ(At(), c.found);
      EXPECT_FALSE(cases.Eof());
    } else {
      EXPECT_EQ(At(), "ABC/12");
      cases.Next();
      EXPECT_EQ(At(), "XYZ/3");  // the file's position stayed too
    }
  }
  EXPECT_THROW(cases.FindKey({"A", "B", "C"}), TableError);
}

TEST_F(LookupTest, FindNearestTakesTheFirstKeyNotLess) {
  struct Case {
    std::vector<KeyValue> values;
    bool found;
    const char* at;
  };
  const Case lookups[] = {
      {{"ABC", "      5"}, true, "ABC/12"},
      {{"ABC"}, true, "ABC/1"},
      {{""}, true, "ABC/1"},
      {{"ABD"}, true, "XYZ/3"},
      {{"XYZ", "      3"}, true, "XYZ/3"},
      {{"ZZZ"}, false, "XYZ/3"},  // past the end: on the last record, at the end
  };
  for (const Case& c : lookups) {
    cases.First();
    EXPECT_EQ(cases.FindNearest(c.values), c.found) << c.at;
    EXPECT_EQ(At(), c.at);
    EXPECT_EQ(cases.Eof(), !c.found) << c.at;
  }
  EXPECT_THROW(cases.FindNearest({"ABCDEFGH"}), TableError);
  EXPECT_THROW(cases.FindNearest({"A", "B", "C"}), TableError);
}

TEST_F(TableTest, LookupValuesAreFormattedByTheFieldsTypes) {
  Table& t = Batch("0");  // the auto-increment number
  EXPECT_TRUE(t.FindKey({2}));
  EXPECT_EQ(Seq(t), "2");
  EXPECT_TRUE(t.FindKey({"3"}));
  EXPECT_EQ(Seq(t), "3");
  EXPECT_FALSE(t.FindKey({-1}));
  try {
    t.FindKey({"two"});
    ADD_FAILURE() << "found";
  } catch (const TableError& error) {
    EXPECT_STREQ(error.what(), "RemoteTB: 'two' is not a number for the key field AutoInc");
  }

  t.SetIndexName("3");  // the record manager's date
  EXPECT_TRUE(t.FindKey({kMarch15}));
  EXPECT_EQ(Seq(t), "3");
  EXPECT_TRUE(t.FindNearest({CivilDate{2005, 3, 11}}));
  EXPECT_EQ(Seq(t), "3");
  EXPECT_THROW(t.FindKey({"2005-03-15"}), TableError);

  // Fee splits: dummy client and case are one 14-character segment.
  auto split = [](const char* dummy, const char* receptor) {
    return Rec("FeeSplit").Raw("DummyClient", dummy).Text("ReceptorClient", receptor);
  };
  MakeFile("FSPLIT.LF", "FeeSplit",
           {split("D1           2", "R3"), split("D1           1", "R2"),
            split("D1           1", "R1")});
  Table splits(*fs, "FeeSplitTB");
  splits.SetTableName("C:\\MFW\\DATA\\FSPLIT.LF;RES:FeeSplit");
  splits.SetIndexName("1");
  splits.Open();
  splits.Last();
  ASSERT_TRUE(splits.FindNearest({"D1           1", "", ""}));
  EXPECT_EQ(Trim(splits.AsString("ReceptorClient")), "R1");
  EXPECT_TRUE(splits.FindKey({"D1           2"}));
  EXPECT_EQ(Trim(splits.AsString("ReceptorClient")), "R3");
}

TEST_F(TableTest, FieldsReadAsTextNumberAndDate) {
  MakeFile("ONE.RME", "RemBatch",
           {Rec("RemBatch")
                .Text("ClientCode", "ACME")
                .Text("GroupingCode", " 12")
                .Number("ActualHours", 12.5)
                .Number("ActualAmount", -3.25)
                .Date("TransactionDate", kMarch15),
            Rec("RemBatch").Raw("ActualHours", "\xFF\xFF\xFF\xFF").Text("GroupingCode", "AB")});
  table.SetTableName("C:\\MFW\\DATA\\ONE.RME;RES:RemBatch");
  table.Open();

  EXPECT_EQ(table.AsString("ClientCode"), "ACME   ");
  EXPECT_EQ(table.AsString("clientcode"), "ACME   ");
  EXPECT_EQ(table.AsString("ActualHours"), "12.5");
  EXPECT_EQ(table.AsFloat("ActualAmount"), -3.25);
  EXPECT_EQ(table.AsString("ActualAmount"), "-3.25");
  EXPECT_EQ(table.AsString("BillableAmount"), "0");
  EXPECT_EQ(table.AsFloat("AutoInc"), 1.0);
  EXPECT_EQ(table.AsFloat("GroupingCode"), 12.0);
  EXPECT_EQ(table.AsDate("TransactionDate"), kMarch15);
  EXPECT_EQ(table.AsString("TransactionDate"), "3/15/2005");
  DateFormats dayFirst;
  dayFirst.shortDate = "dd.MM.yyyy";
  dayFirst.dateSeparator = ".";
  table.SetDateFormats(dayFirst);
  EXPECT_EQ(table.AsString("TransactionDate"), "15.03.2005");
  EXPECT_TRUE(table.HasField("Unassigned2"));
  EXPECT_FALSE(table.HasField("Nope"));

  table.Next();                                      // a damaged record
  EXPECT_EQ(table.AsString("TransactionDate"), "");  // the empty date
  const std::pair<std::function<void()>, const char*> failures[] = {
      {[&] { table.AsFloat("ActualHours"); }, "RemoteTB: Field 'ActualHours' holds no number"},
      {[&] { table.AsString("ActualHours"); }, "RemoteTB: Field 'ActualHours' holds no number"},
      {[&] { table.AsFloat("GroupingCode"); }, "RemoteTB: Field 'GroupingCode' holds no number"},
      {[&] { table.AsDate("ClientCode"); }, "RemoteTB: Field 'ClientCode' is not a date field"},
      {[&] { table.AsString("Nope"); }, "RemoteTB: Field 'Nope' not found"},
  };
  for (const auto& [read, message] : failures) {
    try {
      read();
      ADD_FAILURE() << message;
    } catch (const TableError& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
}

TEST_F(TableTest, AppendEditPostAndCancel) {
  MakeFile("YCASE.LF", "YCase");
  Table t(*fs, "CaseTB");
  t.SetTableName("C:\\MFW\\DATA\\YCASE.LF;RES:YCase");
  t.SetIndexName("1");
  t.Open();
  EXPECT_THROW(t.SetAsString("Client Code", "ABC"), TableError);  // not editing

  t.Append();
  t.SetAsString("Client Code", "ABC");
  t.SetAsString("Case Suffix", "      1");
  t.SetAsFloat("Fee Budget $", 1500.25);
  t.Post();
  EXPECT_EQ(t.State(), TableState::Browse);
  EXPECT_EQ(t.AsFloat("AutoIncrement"), 1.0);  // assigned by the record manager
  EXPECT_EQ(t.RecordCount(), 1u);

  t.Append();
  t.SetAsString("Client Code", "ABC");
  t.SetAsString("Case Suffix", "      1");
  try {
    t.Post();
    ADD_FAILURE() << "duplicate posted";
  } catch (const TableError& error) {
    EXPECT_EQ(error.Status(), 5);
  }
  EXPECT_EQ(t.State(), TableState::Insert);  // the new record is still there to correct
  t.SetAsString("Case Suffix", "      2");
  t.SetAsString("Alternate ID", "second");
  t.Post();
  EXPECT_EQ(Trim(t.AsString("Alternate ID")), "second");

  t.First();
  t.Edit();
  t.SetAsString("Alternate ID", "changed");
  t.Cancel();
  EXPECT_EQ(Trim(t.AsString("Alternate ID")), "");
  t.Edit();
  t.SetAsString("Alternate ID", "edited");
  t.Post();

  // Bad values change nothing.
  t.Edit();
  EXPECT_THROW(t.SetAsString("Client Code", "TOO LONG"), TableError);
  EXPECT_THROW(t.SetAsFloat("Fee Budget $", 1e12), TableError);
  EXPECT_THROW(t.SetAsString("Fee Budget $", "lots"), TableError);
  EXPECT_THROW(t.SetAsDate("Client Code", kMarch15), TableError);
  t.Cancel();

  const std::vector<std::string> stored = Stored("YCASE.LF");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0], std::string(Rec("YCase")
                                       .Number("AutoIncrement", 1)
                                       .Text("Client Code", "ABC")
                                       .Text("Case Suffix", "      1")
                                       .Text("Alternate ID", "edited")
                                       .Number("Fee Budget $", 1500.25)));
  EXPECT_EQ(stored[1].substr(18, 20), "second              ");
}

TEST_F(TableTest, MovingPostsAChangeAndClosingDropsIt) {
  Table& t = Batch("0");
  t.Edit();
  t.SetAsString("HNDR", "R");
  t.Next();  // posts
  t.Edit();
  t.SetAsString("HNDR", "X");
  t.Close();  // dropped
  t.Open();
  t.Edit();
  t.Next();  // nothing changed: nothing written
  const std::vector<std::string> stored = Stored("TRIN01.RME");
  EXPECT_EQ(stored[0].substr(32, 1), "R");
  EXPECT_EQ(stored[1].substr(32, 1), " ");
  EXPECT_EQ(stored[0].substr(4, 7), "B      ");
}

TEST_F(TableTest, EditLocksTheRecordAgainstAnotherWorkstation) {
  Table& mine = Batch("0");
  Table theirs(*fs, "RemoteTB");
  theirs.SetTableName(mine.TableName());
  theirs.Open();
  mine.Edit();
  mine.SetAsString("HNDR", "R");
  try {
    theirs.Edit();
    ADD_FAILURE() << "both edit";
  } catch (const TableError& error) {
    EXPECT_STREQ(error.what(), "Btrieve error 84: The record or page is locked");
  }
  EXPECT_EQ(theirs.State(), TableState::Browse);
  mine.Post();
  theirs.Edit();  // reads the record afresh
  EXPECT_EQ(theirs.AsString("HNDR"), "R");
}

TEST_F(TableTest, DeleteGoesOnToTheNextRecordOrBackToThePrevious) {
  Table& t = Batch("0");
  ASSERT_TRUE(t.FindKey({2}));
  t.Delete();
  EXPECT_EQ(Seq(t), "3");
  EXPECT_FALSE(t.Eof());
  t.Last();
  t.Delete();
  EXPECT_EQ(Seq(t), "3");
  EXPECT_TRUE(t.Eof());  // nothing follows
  t.Delete();
  EXPECT_EQ(Seq(t), "1");
  t.Append();
  t.Delete();  // a new record is only dropped
  EXPECT_EQ(t.State(), TableState::Browse);
  EXPECT_EQ(Seq(t), "1");
  t.Delete();
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_TRUE(t.Bof() && t.Eof());
  EXPECT_EQ(t.RecordCount(), 0u);
  EXPECT_TRUE(Stored("TRIN01.RME").empty());
}

TEST_F(TableTest, CalculatedFieldsAreFilledForEveryRecordPresented) {
  int calls = 0;
  table.AddCalcField("Label", 4);
  table.SetOnCalcFields([&](Table& t) {
    ++calls;
    t.SetAsString("Label", Trim(t.AsString("ClientCode")) + "-" + Seq(t) + "-long");
  });
  Table& t = Batch("1");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(t.AsString("Label"), "A-2-");  // cut to its size
  t.Next();
  EXPECT_EQ(t.AsString("Label"), "A-4-");
  t.Append();
  EXPECT_EQ(t.AsString("Label"), "");
  t.Cancel();
  EXPECT_EQ(t.AsString("Label"), "A-4-");
  EXPECT_TRUE(t.FindKey({"B", "      1"}));
  EXPECT_EQ(t.AsString("Label"), "B-1-");
  t.Close();
  EXPECT_THROW(t.AsString("Label"), TableError);
}

}  // namespace
}  // namespace upfold::test
