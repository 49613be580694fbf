// Browsing and the rename list: adding, refusing, removing and clearing
// entries, the filter, and the lists following the folder and the drive.
#include <QApplication>
#include <QSignalBlocker>
#include <QTest>
#include <filesystem>

#include "platform/message_box.h"
#include "ui/main/testing/form1_test_support.h"

namespace ui::testing {
namespace {

using Call = platform::testing::ScriptedMessageBox::Call;
using Strings = std::vector<std::string>;

constexpr std::string_view kAlert =
    "NOTE THIS!\n\rFiles will be renamed and located at: ";

TEST_F(Form1Test, ClickedFilesGoToTheEndOfTheListInClickOrder) {
  drives_.MakeFolder('C', "In");
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    drives_.WriteFile('C', std::string("In/") + name, name);
  }
  Form1& f = Open();
  OpenFolder("In");
  ClickFile("c.jpg");
  ClickFile("a.jpg");
  ClickFile("b.jpg");
  EXPECT_EQ(Entries(),
            (Strings{"C:\\In\\c.jpg", "C:\\In\\a.jpg", "C:\\In\\b.jpg"}));
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_EQ(f.Label5->Caption(), std::string(kAlert) + "C:\\In");
  EXPECT_TRUE(f.Label5->Bold());
  EXPECT_EQ(f.Label5->ForeColor(), 255u);
  EXPECT_EQ(f.Label5->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(Form1Test, ADuplicateIsRefusedAndTheNoticeIsStillWritten) {
  drives_.WriteFile('C', "photo.jpg", "p");
  Form1& f = Open();
  ClickFile("photo.jpg");
  f.Label5->SetCaption("something else");
  f.Label5->SetBold(false);
  ClickFile("photo.jpg");  // the same item again: still a click
  EXPECT_EQ(Entries(), Strings{"C:\\\\photo.jpg"});
  EXPECT_EQ(message_box_.calls(),
            (std::vector<Call>{
                {"The file:' photo.jpg' already exists in your rename list!",
                 16, "Wait!"}}));
  EXPECT_EQ(f.Label5->Caption(), std::string(kAlert) + "C:\\");
  EXPECT_TRUE(f.Label5->Bold());
}

TEST_F(Form1Test, EntriesAreUniqueByExactCaseSensitiveText) {
  drives_.MakeFolder('C', "One");
  drives_.MakeFolder('C', "Two");
  drives_.WriteFile('C', "One/x.jpg", "1");
  drives_.WriteFile('C', "Two/x.jpg", "2");
  drives_.WriteFile('C', "Two/X.jpg", "3");
  Form1& f = Open();
  OpenFolder("One");
  ClickFile("x.jpg");
  f.Dir1->SetPath("C:\\Two");
  ClickFile("x.jpg");
  ClickFile("X.jpg");
  EXPECT_EQ(Entries(),
            (Strings{"C:\\One\\x.jpg", "C:\\Two\\x.jpg", "C:\\Two\\X.jpg"}));
  EXPECT_TRUE(message_box_.calls().empty());
}

TEST_F(Form1Test, WithRelocationOnTheNoticeIsLeftAlone) {
  drives_.WriteFile('C', "a.jpg", "a");
  Form1& f = Open();
  {
    const QSignalBlocker no_dialog(f.Check1);  // the value alone matters here
    f.Check1->setChecked(true);
  }
  f.Label5->SetCaption("Files will be renamed and re-located at: D:\\");
  ClickFile("a.jpg");
  EXPECT_EQ(Entries(), Strings{"C:\\\\a.jpg"});
  EXPECT_EQ(f.Label5->Caption(),
            "Files will be renamed and re-located at: D:\\");
  EXPECT_FALSE(f.Label5->Bold());
}

TEST_F(Form1Test, AFullListRefusesWithAMessageAndStaysAsItWas) {
  drives_.WriteFile('C', "last.jpg", "l");
  drives_.WriteFile('C', "more.jpg", "m");
  Form1& f = Open();
  for (int i = 0; i < ListBox::kMaxEntries - 1; ++i) {
    f.List1->AddItem("C:\\filler\\" + std::to_string(i));
  }
  ClickFile("last.jpg");
  ASSERT_EQ(f.List1->ListCount(), ListBox::kMaxEntries);
  EXPECT_TRUE(message_box_.calls().empty()) << "the last place is taken";

  ClickFile("more.jpg");
  EXPECT_EQ(f.List1->ListCount(), ListBox::kMaxEntries);
  EXPECT_EQ(f.List1->List(ListBox::kMaxEntries - 1), "C:\\\\last.jpg");
  EXPECT_EQ(f.List1->CountOf("C:\\\\more.jpg"), 0);
  ASSERT_EQ(message_box_.calls().size(), 1u);
  EXPECT_EQ(message_box_.calls()[0].style, 16);
  EXPECT_NE(message_box_.calls()[0].prompt.find("more.jpg"), std::string::npos);
  EXPECT_NE(message_box_.calls()[0].prompt.find("32767"), std::string::npos);
}

TEST_F(Form1Test, AClickOnAnEntryRemovesItAndSelectsNothing) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    drives_.WriteFile('C', name, name);
  }
  Form1& f = Open();
  ClickFile("a.jpg");
  ClickFile("b.jpg");
  ClickFile("c.jpg");
  ClickListEntry(1);
  EXPECT_EQ(Entries(), (Strings{"C:\\\\a.jpg", "C:\\\\c.jpg"}));
  EXPECT_EQ(f.List1->ListIndex(), -1);
  ClickListEntry(0);
  ClickListEntry(0);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(f.List1->ListIndex(), -1);
  EXPECT_TRUE(message_box_.calls().empty());
}

TEST_F(Form1Test, ArrowKeysInTheFileListAddTheFileMovedTo) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    drives_.WriteFile('C', name, name);
  }
  Form1& f = Open();
  ClickFile("a.jpg");
  QTest::keyClick(f.File1, Qt::Key_Down);
  QTest::keyClick(f.File1, Qt::Key_Down);
  QTest::keyClick(f.File1, Qt::Key_Down);  // at the end: no move, no click
  EXPECT_EQ(Entries(), (Strings{"C:\\\\a.jpg", "C:\\\\b.jpg", "C:\\\\c.jpg"}));
  EXPECT_TRUE(message_box_.calls().empty());
}

struct ClearCase {
  const char* name;
  int entries;
  int answer;
  int entries_after;
};

void PrintTo(const ClearCase& c, std::ostream* out) { *out << c.name; }

class ClearListTest : public Form1Test,
                      public ::testing::WithParamInterface<ClearCase> {};

TEST_P(ClearListTest, AsksFirstAndClearsOnlyOnYes) {
  drives_.WriteFile('C', "a.jpg", "a");
  drives_.WriteFile('C', "b.jpg", "b");
  Form1& f = Open();
  if (GetParam().entries > 0) ClickFile("a.jpg");
  if (GetParam().entries > 1) ClickFile("b.jpg");
  f.Label7->SetCaption("7");
  f.Label8->SetCaption("D:\\Target");
  const std::string notice = f.Label5->Caption();
  message_box_.Clear();
  message_box_.QueueAnswer(GetParam().answer);

  Click(f.Command4);
  EXPECT_EQ(message_box_.calls(),
            (std::vector<Call>{{"Are you sure?", 324, "Clear list"}}));
  EXPECT_EQ(f.List1->ListCount(), GetParam().entries_after);
  EXPECT_EQ(f.Label5->Caption(), notice);
  EXPECT_EQ(f.Label7->Caption(), "7");
  EXPECT_EQ(f.Label8->Caption(), "D:\\Target");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ClearListTest,
    ::testing::Values(ClearCase{"YesEmpties", 2, 6, 0},
                      ClearCase{"NoKeepsAll", 2, 7, 2},
                      ClearCase{"EmptyStillAsks", 0, 6, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct FilterCase {
  const char* name;
  const char* extension;
  const char* pattern;
  Strings listed;
};

void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }

class FilterTest : public Form1Test,
                   public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FilterTest, PatternIsStarDotAndTheExtensionAsTyped) {
  for (const char* name : {"README", "a.txt", "b.TXT", "c.jpg"}) {
    drives_.WriteFile('C', name, name);
  }
  Form1& f = Open();
  Type(f.Combo2->lineEdit(), GetParam().extension);
  Click(f.Command1);
  EXPECT_EQ(f.File1->Pattern(), GetParam().pattern);
  EXPECT_EQ(ListedFiles(), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, FilterTest,
    ::testing::Values(
        FilterCase{"Empty", "", "*.", {"README"}},
        FilterCase{"Txt", "txt", "*.txt", {"a.txt", "b.TXT"}},
        FilterCase{"Star", "*", "*.*", {"a.txt", "b.TXT", "c.jpg", "README"}},
        FilterCase{"Untrimmed", " jpg", "*. jpg", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, TheFilterStaysThroughFolderAndDriveChanges) {
  drives_.MakeFolder('C', "Sub");
  drives_.WriteFile('C', "Sub/a.txt", "a");
  drives_.WriteFile('C', "Sub/b.jpg", "b");
  drives_.WriteFile('D', "d.txt", "d");
  drives_.WriteFile('D', "e.jpg", "e");
  Form1& f = Open();
  Type(f.Combo2->lineEdit(), "txt");
  Click(f.Command1);
  OpenFolder("Sub");
  EXPECT_EQ(f.File1->Path(), "C:\\Sub");
  EXPECT_EQ(ListedFiles(), Strings{"a.txt"});

  PickDrive('D');
  EXPECT_EQ(f.Dir1->Path(), "D:\\");
  EXPECT_EQ(f.File1->Path(), "D:\\");
  EXPECT_EQ(f.File1->Pattern(), "*.txt");
  EXPECT_EQ(ListedFiles(), Strings{"d.txt"});
  EXPECT_TRUE(message_box_.calls().empty());
}

TEST_F(Form1Test, TheFolderListOpensAtTheDrivesCurrentFolder) {
  drives_.MakeFolder('D', "Deep");
  drives_.WriteFile('D', "Deep/x.jpg", "x");
  ASSERT_TRUE(file_system_->ChangeFolder("D:\\Deep").ok());
  Form1& f = Open();
  PickDrive('D');
  EXPECT_EQ(f.Dir1->Path(), "D:\\Deep");
  EXPECT_EQ(ListedFiles(), Strings{"x.jpg"});
  PickDrive('C');
  EXPECT_EQ(f.Dir1->Path(), "C:\\");
}

TEST_F(Form1Test, ADriveThatIsNotReadyIsReportedAndTheListsStay) {
  drives_.MakeFolder('C', "Stay");
  drives_.WriteFile('C', "Stay/a.jpg", "a");
  Form1& f = Open();
  OpenFolder("Stay");
  std::filesystem::remove_all(drives_.HostFolder('D'));

  PickDrive('D');
  ASSERT_EQ(message_box_.calls().size(), 1u);
  const Call& call = message_box_.calls()[0];
  EXPECT_EQ(call.style, 16);
  EXPECT_EQ(call.title, "Drive Not Ready");
  EXPECT_NE(call.prompt.find("d:"), std::string::npos) << call.prompt;
  EXPECT_NE(call.prompt.find("C:\\Stay"), std::string::npos) << call.prompt;
  EXPECT_EQ(f.Drive1->Drive(), "c:");
  EXPECT_EQ(f.Dir1->Path(), "C:\\Stay");
  EXPECT_EQ(f.File1->Path(), "C:\\Stay");
  EXPECT_EQ(ListedFiles(), Strings{"a.jpg"});
}

TEST_F(Form1Test, AFolderGoneBeforeItIsOpenedIsReportedAndTheListsStay) {
  drives_.MakeFolder('C', "Gone");
  drives_.WriteFile('C', "a.jpg", "a");
  Form1& f = Open();
  std::filesystem::remove_all(drives_.Host('C', "Gone"));
  OpenFolder("Gone");
  ASSERT_EQ(message_box_.calls().size(), 1u);
  EXPECT_EQ(message_box_.calls()[0].style, 16);
  EXPECT_EQ(f.Dir1->Path(), "C:\\");
  EXPECT_EQ(ListedFiles(), Strings{"a.jpg"});
}

}  // namespace
}  // namespace ui::testing
