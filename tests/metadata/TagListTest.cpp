#include <gtest/gtest.h>

#include <string>

#include "metadata/TagList.h"

namespace lumetra {
namespace {

TEST(TagList, AStagedEntryIsListedOnlyWhenKept) {
  TagList tags;
  TTagEntry& first = tags.Append();
  first.Tag = 0x010F;
  first.Text = "NIKON CORPORATION";

  // A rendering that fails leaves its staged entry unlisted; the next one is made in it as a default entry.
  TTagEntry& failed = tags.Stage();
  failed.Tag = 0x0110;
  failed.Name = "Model";
  failed.Text = "a text whose rendering then failed";
  EXPECT_EQ(tags.size(), 1U);

  TTagEntry& staged = tags.Stage();
  EXPECT_EQ(staged.Tag, 0);
  EXPECT_TRUE(staged.Name.empty());
  EXPECT_TRUE(staged.Text.empty());
  staged.Tag = 0x829A;
  staged.Text = "1/250";
  tags.KeepStaged();
  ASSERT_EQ(tags.size(), 2U);
  EXPECT_EQ(tags[0].Text, "NIKON CORPORATION");
  EXPECT_EQ(tags.back().Tag, 0x829A);
  EXPECT_EQ(tags.back().Text, "1/250");

  // Emptied for the next file, the list stages in its kept entries, reset.
  tags.clear();
  TTagEntry& again = tags.Stage();
  EXPECT_EQ(&again, tags.data());
  EXPECT_EQ(again.Tag, 0);
  EXPECT_TRUE(again.Text.empty());
  EXPECT_TRUE(tags.empty());
}

}  // namespace
}  // namespace lumetra
