// "Rename All" through the window: a whole batch from browsing to the files
// on disk, a run that stops, and what the user sees while a run goes on.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/rename_run.h"
#include "platform/message_box.h"
#include "ui/main/testing/form1_test_support.h"

namespace ui::testing {
namespace {

using Call = platform::testing::ScriptedMessageBox::Call;
using Strings = std::vector<std::string>;

TEST_F(Form1Test, AWholeBatchFromBrowsingToTheFilesOnDisk) {
  drives_.MakeFolder('C', "In");
  drives_.WriteFile('C', "In/a.jpg", "A");
  drives_.WriteFile('C', "In/b.jpg", "B");
  drives_.WriteFile('C', "In/c.jpg", "C");
  drives_.WriteFile('C', "In/keep.txt", "K");
  drives_.WriteFile('D', "d.jpg", "D");
  Form1& f = Open();

  PickDrive('D');
  ClickFile("d.jpg");
  PickDrive('C');
  OpenFolder("In");
  ClickFile("a.jpg");
  ClickFile("c.jpg");
  ClickFile("b.jpg");
  ASSERT_EQ(Entries(), (Strings{"D:\\\\d.jpg", "C:\\In\\a.jpg", "C:\\In\\c.jpg",
                                "C:\\In\\b.jpg"}));
  Type(f.Text1, "Trip");
  f.Combo1->setCurrentIndex(1);  // "0"
  Type(f.Text3, "9");
  Type(f.Combo2->lineEdit(), "jpg");
  Click(f.Command3);

  EXPECT_EQ(drives_.List('C', "In"),
            (Strings{"Trip09.jpg", "Trip10.jpg", "Trip11.jpg", "Trip12.jpg",
                     "keep.txt"}));
  EXPECT_EQ(drives_.ReadFile('C', "In/Trip09.jpg"), "D");
  EXPECT_EQ(drives_.ReadFile('C', "In/Trip10.jpg"), "A");
  EXPECT_EQ(drives_.ReadFile('C', "In/Trip11.jpg"), "C");
  EXPECT_EQ(drives_.ReadFile('C', "In/Trip12.jpg"), "B");
  EXPECT_FALSE(drives_.Exists('D', "d.jpg"));

  EXPECT_EQ(
      message_box_.calls(),
      (std::vector<Call>{{"4 files were renamed successfully!", 64, "Done"}}));
  EXPECT_EQ(f.List1->ListCount(), 0);
  EXPECT_EQ(f.Text3->text(), "13");
  EXPECT_EQ(f.Combo1->currentIndex(), 0);
  EXPECT_EQ(f.Combo1->currentText(), "");
  EXPECT_EQ(f.Label7->Caption(), "4");
  EXPECT_EQ(f.pb->Value(), 100.0f);
  EXPECT_EQ(ListedFiles(), (Strings{"keep.txt", "Trip09.jpg", "Trip10.jpg",
                                    "Trip11.jpg", "Trip12.jpg"}));
  EXPECT_EQ(f.Text1->text(), "Trip");
  EXPECT_EQ(f.Combo2->currentText(), "jpg");
  EXPECT_EQ(f.Check1Value(), 0);
  EXPECT_EQ(f.Label8->Caption(), "");
  EXPECT_EQ(f.Label5->Caption(),
            "NOTE THIS!\n\rFiles will be renamed and located at: C:\\In");
  EXPECT_EQ(f.Drive1->Drive(), "c:");
  EXPECT_EQ(f.Dir1->Path(), "C:\\In");
}

TEST_F(Form1Test, ARunStopsAtATakenNameAndKeepsTheRestListed) {
  drives_.WriteFile('C', "a.jpg", "A");
  drives_.WriteFile('C', "b.jpg", "B");
  drives_.WriteFile('C', "c.jpg", "C");
  drives_.WriteFile('C', "Trip2.jpg", "taken");
  Form1& f = Open();
  ClickFile("a.jpg");
  ClickFile("b.jpg");
  ClickFile("c.jpg");
  Type(f.Text1, "Trip");
  Type(f.Combo2->lineEdit(), "jpg");
  const Strings listed_before = ListedFiles();
  message_box_.Clear();
  Click(f.Command3);

  EXPECT_EQ(drives_.ReadFile('C', "Trip1.jpg"), "A");
  EXPECT_EQ(drives_.ReadFile('C', "Trip2.jpg"), "taken");
  EXPECT_EQ(drives_.ReadFile('C', "b.jpg"), "B");
  EXPECT_EQ(drives_.ReadFile('C', "c.jpg"), "C");
  EXPECT_EQ(Entries(), (Strings{"C:\\\\b.jpg", "C:\\\\c.jpg"}));
  EXPECT_EQ(f.Text3->text(), "2");
  EXPECT_FLOAT_EQ(f.pb->Value(), 100.0f / 3.0f);
  EXPECT_EQ(f.Label7->Caption(), "3");
  ASSERT_EQ(message_box_.calls().size(), 1u);
  EXPECT_EQ(message_box_.calls()[0].style, 16);
  EXPECT_EQ(ListedFiles(), listed_before) << "no refresh after a stop";
}

TEST_F(Form1Test, NoExtensionAnsweredNoRenamesNothing) {
  drives_.WriteFile('C', "a.jpg", "A");
  Form1& f = Open();
  ClickFile("a.jpg");
  Type(f.Text1, "Trip");
  f.pb->SetValue(42.0f);
  message_box_.Clear();
  message_box_.QueueAnswer(7);
  Click(f.Command3);
  EXPECT_EQ(message_box_.calls(),
            (std::vector<Call>{
                {"No extension or file type was sellected, proceed anyway?",
                 324, "Wait..."}}));
  EXPECT_TRUE(drives_.Exists('C', "a.jpg"));
  EXPECT_EQ(f.Label7->Caption(), "1");
  EXPECT_EQ(f.pb->Value(), 42.0f);
  EXPECT_EQ(f.List1->ListCount(), 1);
}

// Notes what the window shows at the moment each box opens.
class WindowAtEachBox : public platform::MessageBox {
 public:
  Form1* form = nullptr;
  std::vector<std::pair<Strings, std::string>> seen;  // List1, Text3
  int Show(std::string_view, int, std::string_view) override {
    Strings entries;
    for (int row = 0; row < form->List1->ListCount(); ++row) {
      entries.push_back(form->List1->List(row));
    }
    seen.emplace_back(entries, form->Text3->text().toStdString());
    return 1;
  }
};

TEST_F(Form1Test, TheRunsMessageBoxesSeeTheWindowAsTheRunLeftIt) {
  drives_.WriteFile('C', "a.jpg", "A");
  drives_.WriteFile('C', "b.jpg", "B");
  drives_.WriteFile('C', "c.jpg", "C");
  drives_.WriteFile('C', "d.jpg", "D");
  drives_.WriteFile('C', "T3.jpg", "taken");
  WindowAtEachBox boxes;
  form_ = std::make_unique<Form1>(*file_system_, boxes);
  boxes.form = form_.get();
  Form1& f = *form_;
  for (int row = 0; row < f.File1->ListCount(); ++row) {
    if (f.File1->List(row) != "T3.jpg") f.File1->ClickItem(row);
  }
  f.Text1->setText("T");
  f.Combo2->setEditText("jpg");
  f.Command3_Click();  // a.jpg -> T1, b.jpg -> T2, c.jpg stops at T3
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(boxes.seen[0].first, (Strings{"C:\\\\c.jpg", "C:\\\\d.jpg"}));
  EXPECT_EQ(boxes.seen[0].second, "3");

  f.List1->RemoveItem(0);  // c.jpg stays where it is
  f.Command3_Click();      // d.jpg would take T3: still taken
  ASSERT_EQ(boxes.seen.size(), 2u);
  EXPECT_EQ(boxes.seen[1].first, Strings{"C:\\\\d.jpg"});
  std::filesystem::remove(drives_.Host('C', "T3.jpg"));
  f.Command3_Click();  // d.jpg -> T3, then the "Done" box
  ASSERT_EQ(boxes.seen.size(), 3u);
  EXPECT_TRUE(boxes.seen[2].first.empty());
  EXPECT_EQ(boxes.seen[2].second, "4");
  EXPECT_EQ(drives_.ReadFile('C', "T3.jpg"), "D");
}

// Forwards to another file system; each rename first waits and notes
// whether the event loop has run since the test armed it.
class SlowRenames final : public platform::FileSystem {
 public:
  explicit SlowRenames(platform::FileSystem& inner) : inner_(inner) {}

  std::function<void()> on_rename;

  std::vector<platform::DriveInfo> ListDrives() override {
    return inner_.ListDrives();
  }
  char CurrentDrive() const override { return inner_.CurrentDrive(); }
  platform::Status ChangeDrive(std::string_view drive) override {
    return inner_.ChangeDrive(drive);
  }
  platform::Result<std::string> CurrentFolder(char drive) const override {
    return inner_.CurrentFolder(drive);
  }
  platform::Status ChangeFolder(std::string_view folder) override {
    return inner_.ChangeFolder(folder);
  }
  platform::Result<std::string> FullPath(std::string_view path) const override {
    return inner_.FullPath(path);
  }
  platform::Result<std::vector<std::string>> ListFolders(
      std::string_view folder) override {
    return inner_.ListFolders(folder);
  }
  platform::Result<std::vector<std::string>> ListFiles(
      std::string_view folder, std::string_view pattern,
      uint32_t include) override {
    return inner_.ListFiles(folder, pattern, include);
  }
  platform::Result<std::optional<std::string>> FindFirst(
      std::string_view path, uint32_t mask) override {
    return inner_.FindFirst(path, mask);
  }
  platform::Result<uint32_t> GetAttributes(std::string_view path) override {
    return inner_.GetAttributes(path);
  }
  platform::Status MakeFolder(std::string_view path) override {
    return inner_.MakeFolder(path);
  }
  platform::Status RenameFile(std::string_view from,
                              std::string_view to) override {
    if (on_rename) on_rename();
    return inner_.RenameFile(from, to);
  }

 private:
  platform::FileSystem& inner_;
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(Form1Test, ALongRunRepaintsWithoutReturningToTheEventLoop) {
  constexpr int kFiles = 12;
  constexpr auto kRenameTime = std::chrono::milliseconds(15);
  for (int i = 0; i < kFiles; ++i) {
    drives_.WriteFile('C', "f" + std::to_string(i + 10) + ".jpg", "x");
  }
  SlowRenames slow(*file_system_);
  form_ = std::make_unique<Form1>(slow, message_box_);
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  Form1& f = *form_;
  for (int row = 0; row < kFiles; ++row) f.File1->ClickItem(row);
  ASSERT_EQ(f.List1->ListCount(), kFiles);
  f.Text1->setText("Trip");
  f.Combo2->setEditText("jpg");
  QApplication::processEvents();

  PaintCounter bar_paints, list_paints;
  f.pb->installEventFilter(&bar_paints);
  f.List1->viewport()->installEventFilter(&list_paints);
  bool event_loop_ran = false;
  QTimer::singleShot(0, [&] { event_loop_ran = true; });
  int renames_seen_by_loop = 0;
  slow.on_rename = [&] {
    if (event_loop_ran) ++renames_seen_by_loop;
    std::this_thread::sleep_for(kRenameTime);
  };

  f.Command3_Click();
  const int bar_paints_during_run = bar_paints.paints;
  const int list_paints_during_run = list_paints.paints;
  QApplication::processEvents();

  EXPECT_EQ(renames_seen_by_loop, 0) << "the run handed control to the loop";
  EXPECT_TRUE(event_loop_ran);
  EXPECT_EQ(f.List1->ListCount(), 0);
  // 12 renames of 15 ms with a repaint at most every 40 ms and at the end.
  EXPECT_GE(bar_paints_during_run, 3);
  EXPECT_LE(bar_paints_during_run, kFiles);
  EXPECT_GE(list_paints_during_run, 3);
  f.pb->removeEventFilter(&bar_paints);
  f.List1->viewport()->removeEventFilter(&list_paints);
}

}  // namespace
}  // namespace ui::testing
