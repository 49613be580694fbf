#include "ui/destination/newdir.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "ui/controls/text.h"
#include "ui/controls/twips.h"
#include "ui/destination/destination_test_support.h"

namespace ui::testing {
namespace {

using Call = platform::testing::ScriptedMessageBox::Call;

class NewdirTest : public DestinationTest {
 protected:
  using DestinationTest::DestinationTest;

  // Opens Dialog3 by "Change path"; there `in_dialog3` runs, and "OK"
  // closes it afterwards.
  void InDialog3(std::function<void(Dialog3&)> in_dialog3) {
    WhenOpens<Dialog3>([in_dialog3](Dialog3& dialog) {
      in_dialog3(dialog);
      PressOk(dialog);
    });
    form_->Command6->click();
  }

  // Presses "Create new folder" in `dialog` and runs `act` in NEWDIR.
  void InNewdir(Dialog3& dialog, std::function<void(NEWDIR&)> act) {
    WhenOpens<NEWDIR>(act);
    dialog.Command1->click();
  }

  static void Type(NEWDIR& newdir, std::string_view name) {
    newdir.NewDirectory_UIText->setText(ToQt(name));
  }
};

TEST_F(NewdirTest, BelowARootMakesTheFolderAndOpensIt) {
  InDialog3([&](Dialog3& dialog) {
    InNewdir(dialog, [&](NEWDIR& newdir) {
      EXPECT_EQ(newdir.Current_Directory_UILabel->Caption(), "C:\\Photos\\");
      EXPECT_EQ(newdir.NewDirectory_UIText->text(), "");
      // Enter in the text box presses the default button "Create Dir".
      QTest::keyClicks(newdir.NewDirectory_UIText, "new");
      QTest::keyClick(newdir.NewDirectory_UIText, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos\\new");
  });
  EXPECT_EQ(dialogs_seen_, 2);
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_TRUE(drives_.Exists('C', "Photos/new"));
  EXPECT_EQ(form_->Label8->Caption(), "C:\\Photos\\new");
  // The dialog left the process in the folder it made the new one in.
  EXPECT_EQ(file_system_->CurrentDrive(), 'C');
  EXPECT_EQ(*file_system_->CurrentFolder('C'), "C:\\Photos");
}

TEST_F(NewdirTest, NamesGoToTheDiskAndTheFolderListAsTyped) {
  // Untrimmed blanks, a trailing dot, a leading dot (hidden here).
  const std::vector<std::string> names = {"   ", "ends in a dot.", ".cache"};
  InDialog3([&](Dialog3& dialog) {
    for (const std::string& name : names) {
      InNewdir(dialog, [&](NEWDIR& newdir) {
        Type(newdir, name);
        newdir.Create_UIButton->click();
      });
      EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos\\" + name);
      OpenFolder(*dialog.Dir1, "C:\\Photos");
    }
  });
  EXPECT_TRUE(message_box_.calls().empty());
  for (const std::string& name : names) {
    EXPECT_TRUE(drives_.Exists('C', "Photos/" + name)) << name;
  }
}

TEST_F(NewdirTest, AtARootOpensTheFolderThroughADoubledBackslash) {
  InDialog3([&](Dialog3& dialog) {
    ChooseDrive(*dialog.Drive1, 'D');
    InNewdir(dialog, [&](NEWDIR& newdir) {
      EXPECT_EQ(newdir.Current_Directory_UILabel->Caption(), "D:\\");
      Type(newdir, "top");
      newdir.Create_UIButton->click();
    });
    EXPECT_EQ(dialog.Dir1->Path(), "D:\\top");
    // A second opening starts at the folder just made.
    InNewdir(dialog, [&](NEWDIR& newdir) {
      EXPECT_EQ(newdir.Current_Directory_UILabel->Caption(), "D:\\top\\");
      EXPECT_EQ(newdir.NewDirectory_UIText->text(), "");
      QTest::keyClick(newdir.NewDirectory_UIText, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.Dir1->Path(), "D:\\top");
  });
  EXPECT_EQ(dialogs_seen_, 3);
  EXPECT_TRUE(drives_.Exists('D', "top"));
  EXPECT_EQ(form_->Label8->Caption(), "D:\\top");
  EXPECT_EQ(file_system_->CurrentDrive(), 'D');
  EXPECT_EQ(*file_system_->CurrentFolder('D'), "D:\\top");
  EXPECT_EQ(*file_system_->CurrentFolder('C'), "C:\\");
}

TEST_F(NewdirTest, ItsCurrentDriveShiftsWhereTheNextDialogOpens) {
  InDialog3([&](Dialog3& dialog) {
    ChooseDrive(*dialog.Drive1, 'D');
    InNewdir(dialog, [&](NEWDIR& newdir) { newdir.Cancel_UIButton->click(); });
  });
  ASSERT_EQ(file_system_->CurrentDrive(), 'D');
  // The drive list now opens on D:, so loading it back to the main
  // window's C: runs the drive change: C:'s current folder, its root, wins
  // over the main window's C:\Photos.
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(dialog.Drive1->Drive(), "c:");
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\");
    PressCloseBox(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 3);
}

TEST_F(NewdirTest, RefusalsShowTheirMessageAndKeepTheDialogAsTyped) {
  drives_.WriteFile('C', "Photos/notes.txt", "x");
  drives_.WriteFile('C', "Photos/.secret", "x");
  const std::string bad =
      "A directory name may not contain any of the following\r\n\r\n     "
      "\\ / : * ? \" < > | & ; , ^ ( )";
  const std::string taken = "\r\n\r\n    C:\\Photos\\";
  struct Refusal {
    std::string name;
    std::vector<Call> calls;
  } refusals[] = {
      {"", {}},
      {"good&bad", {{bad, 16, "Bad Characters"}}},
      {"a(b", {{bad, 16, "Bad Characters"}}},
      {"out",
       {{"The following directory already exists." + taken + "out", 16,
         "Can Not Create Directory"}}},
      {"notes.txt",
       {{"A file with the following name already exists." + taken + "notes.txt",
         16, "Can Not Create Directory"}}},
      {".secret",
       {{"A file with the following name already exists." + taken + ".secret",
         16, "Can Not Create Directory"}}},
  };
  InDialog3([&](Dialog3& dialog) {
    InNewdir(dialog, [&](NEWDIR& newdir) {
      for (const Refusal& refusal : refusals) {
        message_box_.Clear();
        Type(newdir, refusal.name);
        newdir.Create_UIButton->click();
        EXPECT_EQ(message_box_.calls(), refusal.calls) << refusal.name;
        EXPECT_TRUE(newdir.isVisible()) << refusal.name;
        EXPECT_EQ(FromQt(newdir.NewDirectory_UIText->text()), refusal.name);
      }
      newdir.Cancel_UIButton->click();
    });
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
  });
  EXPECT_EQ(drives_.List('C', "Photos"),
            (std::vector<std::string>{".secret", "notes.txt", "out"}));
}

TEST_F(NewdirTest, LayoutHintAndButtons) {
  InDialog3([&](Dialog3& dialog) {
    InNewdir(dialog, [&](NEWDIR& newdir) {
      EXPECT_EQ(newdir.windowTitle(), "Enter a Directory Name ");
      EXPECT_EQ(newdir.size(), QSize(289, 84));
      EXPECT_FALSE(newdir.windowIcon().isNull());
      EXPECT_EQ(newdir.NewDirectory_UIText->toolTip(),
                "Enter a name without the following characters  \\ / : * ? "
                "\" < > | &  ; , ^ ( )");
      struct Placed {
        QWidget* widget;
        QRect twips;
      } placed[] = {
          {newdir.NewDirectory_UIText, {120, 480, 4095, 285}},
          {newdir.Create_UIButton, {1680, 840, 1215, 375}},
          {newdir.Cancel_UIButton, {3000, 840, 1215, 375}},
          {newdir.Current_Directory_UILabel, {120, 120, 4095, 255}},
      };
      for (const Placed& p : placed) {
        EXPECT_EQ(p.widget->geometry(),
                  TwipsRect(p.twips.x(), p.twips.y(), p.twips.width(),
                            p.twips.height()))
            << p.widget->metaObject()->className();
      }
      EXPECT_EQ(newdir.Create_UIButton->text(), "Create Dir");
      EXPECT_EQ(newdir.Cancel_UIButton->text(), "Cancel");
      // The label's caption as designed, before a load replaces it.
      const NEWDIR unloaded(dialog, *file_system_, message_box_);
      EXPECT_EQ(unloaded.Current_Directory_UILabel->Caption(), "Label1");
      EXPECT_TRUE(newdir.Create_UIButton->isDefault());
      EXPECT_FALSE(newdir.Current_Directory_UILabel->wordWrap())
          << "a long folder stays on one line";
      EXPECT_EQ(newdir.focusWidget(), newdir.NewDirectory_UIText);
      QTest::keyClick(newdir.NewDirectory_UIText, Qt::Key_Tab);
      EXPECT_EQ(newdir.focusWidget(), newdir.Create_UIButton);
      QTest::keyClick(newdir.Create_UIButton, Qt::Key_Tab);
      EXPECT_EQ(newdir.focusWidget(), newdir.Cancel_UIButton);
      newdir.close();  // the close box, as "Cancel"
    });
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
  });
  EXPECT_EQ(dialogs_seen_, 2);
  EXPECT_TRUE(drives_.List('C', "Photos") == std::vector<std::string>{"out"});
}

// mkdirat refuses with the errno the test sets.
int g_mkdir_errno = EACCES;

int RefusingMkdirat(int, const char*, mode_t) {
  errno = g_mkdir_errno;
  return -1;
}

const platform::posix::SysCalls& RefusingCalls() {
  static const platform::posix::SysCalls calls = [] {
    platform::posix::SysCalls table = platform::posix::RealSysCalls();
    table.mkdirat = &RefusingMkdirat;
    return table;
  }();
  return calls;
}

class NewdirRefusedByDiskTest : public NewdirTest {
 protected:
  NewdirRefusedByDiskTest() : NewdirTest(RefusingCalls()) {}
};

TEST_F(NewdirRefusedByDiskTest, ShowsTheFolderAndTheReasonAndStaysOpen) {
  InDialog3([&](Dialog3& dialog) {
    InNewdir(dialog, [&](NEWDIR& newdir) {
      for (int error : {EACCES, EROFS, EINVAL}) {
        g_mkdir_errno = error;
        message_box_.Clear();
        Type(newdir, "new");
        newdir.Create_UIButton->click();
        ASSERT_EQ(message_box_.calls().size(), 1u);
        const Call& call = message_box_.calls()[0];
        EXPECT_EQ(call.title, "Can Not Create Directory");
        EXPECT_EQ(call.style, 16);
        EXPECT_NE(call.prompt.find("C:\\Photos\\new"), std::string::npos)
            << call.prompt;
        EXPECT_NE(call.prompt.find(std::strerror(error)), std::string::npos)
            << call.prompt;
        EXPECT_TRUE(newdir.isVisible());
        EXPECT_EQ(newdir.NewDirectory_UIText->text(), "new");
      }
      newdir.Cancel_UIButton->click();
    });
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
  });
  EXPECT_FALSE(drives_.Exists('C', "Photos/new"));
}

}  // namespace
}  // namespace ui::testing
