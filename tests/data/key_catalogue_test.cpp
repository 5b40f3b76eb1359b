#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/KeyCatalogue.h"
#include "data/Layout.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

KeySegment Seg(int offset, int length, KeyType type = KeyType::String) {
  return KeySegment{static_cast<std::uint16_t>(offset), static_cast<std::uint16_t>(length), type,
                    false};
}

TEST(KeyCatalogue, EveryLayoutMakesAFileTheRecordManagerAccepts) {
  test::TempDir dir;
  for (const Layout& layout : AllLayouts()) {
    SCOPED_TRACE(std::string(layout.name));
    const FileSpec fileSpec = FileSpecFor(layout);
    EXPECT_EQ(fileSpec.recordLength, layout.recordLength);
    ASSERT_FALSE(fileSpec.keys.empty());
    ASSERT_LE(fileSpec.keys.size(), 5u);
    for (const KeySpec& key : fileSpec.keys)
      for (const KeySegment& s : key.segments) EXPECT_LE(s.offset + s.length, layout.recordLength);
    // Key 0 is the auto-increment field wherever the layout has one.
    const FieldDef& first = layout.fields.front();
    if (first.type == FieldType::AutoInc) {
      EXPECT_EQ(fileSpec.keys[0].segments, std::vector<KeySegment>{Seg(0, 4, KeyType::AutoInc)});
      EXPECT_FALSE(fileSpec.keys[0].duplicates);
    }
    const std::string path = dir / (std::string(layout.name) + ".dat");
    EXPECT_EQ(DataFile::Create(path, fileSpec), RmStatus::Success);
    DataFile file;
    ASSERT_EQ(file.Open(path), RmStatus::Success);
    EXPECT_EQ(file.Definition(), fileSpec);
  }
}

TEST(KeyCatalogue, KeysOfTheLookups) {
  struct Case {
    const char* layout;
    int key;
    std::vector<KeySegment> segments;
    bool duplicates;
  };
  const Case cases[] = {
      {"YCase", 1, {Seg(4, 7), Seg(11, 7)}, false},
      {"EMP", 1, {Seg(4, 4)}, false},
      {"EMPRATES", 1, {Seg(4, 4), Seg(8, 2)}, false},
      {"SIMPLECD", 1, {Seg(4, 1), Seg(5, 1), Seg(6, 4)}, false},
      {"Grates", 1, {Seg(4, 1), Seg(5, 4), Seg(9, 1), Seg(10, 4)}, false},
      {"FeeSplit", 1, {Seg(4, 14), Seg(18, 7), Seg(25, 7)}, true},
      {"STCHAR2", 1, {Seg(4, 3), Seg(7, 1)}, false},
      {"Print", 1, {Seg(4, 2)}, false},
      {"TrDesc", 1, {Seg(4, 8), Seg(12, 1)}, true},
      {"RemBatchD", 1, {Seg(4, 8), Seg(12, 1)}, true},
      {"Batch", 1, {Seg(4, 7), Seg(11, 7)}, true},
      {"RemBatch", 1, {Seg(4, 7), Seg(11, 7)}, true},
      {"RemBatch", 2, {Seg(39, 4)}, true},
      {"RemBatch", 3, {Seg(116, 4, KeyType::Date)}, true},
      {"RemBatch", 4, {Seg(18, 1)}, true},
      {"Fees", 1, {Seg(4, 7), Seg(11, 7), Seg(18, 1)}, true},
      {"BPhases", 0, {Seg(0, 7), Seg(7, 7), Seg(14, 2)}, false},
      {"BPhases", 1, {Seg(0, 7), Seg(7, 7), Seg(14, 2)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.layout << " key " << c.key);
    const std::optional<FileSpec> fileSpec = FileSpecFor(c.layout);
    ASSERT_TRUE(fileSpec);
    ASSERT_LT(c.key, static_cast<int>(fileSpec->keys.size()));
    EXPECT_EQ(fileSpec->keys[c.key].segments, c.segments);
    EXPECT_EQ(fileSpec->keys[c.key].duplicates, c.duplicates);
  }
  EXPECT_EQ(FileSpecFor("Sysop1")->keys.size(), 1u);
  EXPECT_EQ(FileSpecFor("RemBatch")->keys.size(), 5u);
  EXPECT_EQ(FileSpecFor("ycase"), FileSpecFor("YCase"));
  EXPECT_EQ(FileSpecFor("NoSuchLayout"), std::nullopt);
}

}  // namespace
}  // namespace upfold
