#include "ui/destination/dialog3.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/controls/twips.h"
#include "ui/destination/destination_test_support.h"

namespace ui::testing {
namespace {

constexpr char kInPlace[] =
    "Files will be renamed and located at: (original path)";
std::string Relocated(const std::string& folder) {
  return "Files will be renamed and re-located at: " + folder;
}

constexpr uint32_t kPlain = 0x8000000D;
constexpr uint32_t kRed = 255;

class Dialog3Test : public DestinationTest {
 protected:
  // Ticks the relocation switch and closes the dialog it opens with the
  // close box, which leaves everything else as it was.
  void TickSwitchWithoutTarget() {
    WhenOpens<Dialog3>(&PressCloseBox);
    form_->Check1->click();
    ASSERT_EQ(form_->Check1Value(), 1);
  }

  void ExpectNotice(const std::string& caption, bool alert) {
    EXPECT_EQ(form_->Label5->Caption(), caption);
    EXPECT_EQ(form_->Label5->Bold(), alert);
    EXPECT_EQ(form_->Label5->ForeColor(), alert ? kRed : kPlain);
  }
};

// Each way into and out of the dialog, driven as the user does: by the
// switch or by "Change path", picking C:\Photos\out, then closing.
struct StateRow {
  const char* name;
  bool by_switch;      // else "Change path"
  bool start_checked;  // the switch before the action
  void (*close)(Dialog3&);
  int check1;
  bool target_written;
  bool relocated_caption;
  bool alert;
};

void PrintTo(const StateRow& row, std::ostream* os) { *os << row.name; }

class Dialog3StateTest : public Dialog3Test,
                         public ::testing::WithParamInterface<StateRow> {};

TEST_P(Dialog3StateTest, LeavesSwitchTargetAndNoticeAsTheTableSays) {
  const StateRow& row = GetParam();
  if (row.start_checked) TickSwitchWithoutTarget();
  const std::string target = "C:\\Photos\\out";
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    OpenFolder(*dialog.Dir1, target);
    row.close(dialog);
  });
  if (row.by_switch) {
    form_->Check1->click();
  } else {
    form_->Command6->click();
  }
  EXPECT_EQ(dialogs_seen_, row.start_checked ? 2 : 1);
  EXPECT_EQ(form_->Check1Value(), row.check1);
  EXPECT_EQ(form_->Label8->Caption(), row.target_written ? target : "");
  ExpectNotice(row.relocated_caption ? Relocated(target) : kInPlace, row.alert);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, Dialog3StateTest,
    ::testing::Values(StateRow{"SwitchThenOk", true, false, &PressOk, 1, true,
                               true, true},
                      StateRow{"SwitchThenCancel", true, false, &PressCancel, 0,
                               false, false, false},
                      StateRow{"SwitchThenCloseBox", true, false,
                               &PressCloseBox, 1, false, false, false},
                      // The notice names the target although the run, with the
                      // switch off, renames in the browse folder.
                      StateRow{"ChangePathOffThenOk", false, false, &PressOk, 0,
                               true, true, true},
                      StateRow{"ChangePathOnThenOk", false, true, &PressOk, 1,
                               true, true, true},
                      StateRow{"ChangePathOnThenCancel", false, true,
                               &PressCancel, 0, false, false, true},
                      StateRow{"ChangePathOffThenCancel", false, false,
                               &PressCancel, 0, false, false, true},
                      StateRow{"ChangePathOnThenCloseBox", false, true,
                               &PressCloseBox, 1, false, false, true}),
    [](const ::testing::TestParamInfo<StateRow>& info) {
      return std::string(info.param.name);
    });

TEST_F(Dialog3Test, CancelClearsTheSwitchWhileTheDialogIsStillOpen) {
  // The switch's own handling runs again inside "Cancel", with the value 0;
  // it must neither open a second dialog nor touch the notice. The dialog
  // is gone when the ticking toggle arrives: a guarded pointer sees that.
  QPointer<Dialog3> first;
  int strays = 0;
  QTimer guard;
  guard.setInterval(20);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    auto* modal = qobject_cast<Dialog3*>(QApplication::activeModalWidget());
    if (modal != nullptr && !first.isNull() && modal != first) {
      ++strays;
      modal->reject();
    }
  });
  guard.start();
  std::vector<bool> open_at_toggle;
  QObject::connect(form_->Check1, &QCheckBox::toggled, [&](bool) {
    open_at_toggle.push_back(!first.isNull() && first->isVisible());
  });
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    first = &dialog;
    QTest::qWait(60);  // time for a stray dialog to show up
    PressCancel(dialog);
  });
  form_->Check1->click();
  guard.stop();
  EXPECT_EQ(strays, 0);
  EXPECT_EQ(dialogs_seen_, 1);
  // The clearing toggle is seen while the dialog is open; the ticking one,
  // whose handling waited for the dialog, only after it closed.
  EXPECT_EQ(open_at_toggle, (std::vector<bool>{true, false}));
  EXPECT_EQ(form_->Check1Value(), 0);
  ExpectNotice(kInPlace, false);
}

TEST_F(Dialog3Test, ClearingTheSwitchByHandKeepsTargetAndNotice) {
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    OpenFolder(*dialog.Dir1, "C:\\Photos\\out");
    PressOk(dialog);
  });
  form_->Check1->click();
  form_->Check1->click();
  EXPECT_EQ(dialogs_seen_, 1);
  EXPECT_EQ(form_->Check1Value(), 0);
  EXPECT_EQ(form_->Label8->Caption(), "C:\\Photos\\out");
  ExpectNotice(Relocated("C:\\Photos\\out"), true);
}

TEST_F(Dialog3Test, RestoreTargetsTheBrowseFolderOfThatMoment) {
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    OpenFolder(*dialog.Dir1, "C:\\Photos\\out");
    PressOk(dialog);
  });
  form_->Check1->click();
  form_->Command2->click();
  EXPECT_EQ(form_->Check1Value(), 1);
  EXPECT_EQ(form_->Label8->Caption(), "C:\\Photos");
  ExpectNotice(kInPlace, false);
  // Browsing on does not move the target.
  ASSERT_TRUE(form_->Dir1->SetPath("C:\\Photos\\out").ok());
  EXPECT_EQ(form_->Label8->Caption(), "C:\\Photos");
}

TEST_F(Dialog3Test, OkAtADriveRootKeepsItsBackslash) {
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    ChooseDrive(*dialog.Drive1, 'D');
    EXPECT_EQ(dialog.Dir1->Path(), "D:\\");
    PressOk(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(form_->Label8->Caption(), "D:\\");
  ExpectNotice("Files will be renamed and re-located at: D:\\", true);
}

TEST_F(Dialog3Test, OpensAtTheMainWindowsFolderOnTheCurrentDrive) {
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
    EXPECT_EQ(dialog.Drive1->Drive(), "c:");
    PressCloseBox(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 1);
}

TEST_F(Dialog3Test, OnAnotherDriveOpensAtThatDrivesCurrentFolder) {
  // The main window browses D:\Archive, but the process's current folder
  // of D: is its root: the drive change in the load wins.
  ChooseDrive(*form_->Drive1, 'D');
  ASSERT_TRUE(form_->Dir1->SetPath("D:\\Archive").ok());
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(dialog.Drive1->Drive(), "d:");
    EXPECT_EQ(dialog.Dir1->Path(), "D:\\");
    PressCloseBox(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 1);
  EXPECT_EQ(file_system_->CurrentDrive(), 'C');
}

TEST_F(Dialog3Test, DriveNotReadyIsReportedAndTheDialogStaysWhereItWas) {
  std::filesystem::remove_all(drives_.HostFolder('E'));
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    ChooseDrive(*dialog.Drive1, 'E');
    EXPECT_EQ(dialog.Drive1->Drive(), "c:");
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
    ASSERT_EQ(message_box_.calls().size(), 1u);
    EXPECT_EQ(message_box_.calls()[0].title, "Drive Not Ready");
    EXPECT_EQ(message_box_.calls()[0].style, 16);
    EXPECT_NE(message_box_.calls()[0].prompt.find("e:"), std::string::npos);
    // Still usable: another drive opens, and "OK" takes the shown folder.
    ChooseDrive(*dialog.Drive1, 'D');
    EXPECT_EQ(dialog.Dir1->Path(), "D:\\");
    PressOk(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(form_->Label8->Caption(), "D:\\");
}

TEST_F(Dialog3Test, VanishedFolderOpenedIsReportedAndNothingMoves) {
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    std::filesystem::remove_all(drives_.Host('C', "Photos/out"));
    QList<QTreeWidgetItem*> items =
        dialog.Dir1->findItems("out", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    dialog.Dir1->setCurrentItem(items[0]);
    QTest::keyClick(dialog.Dir1, Qt::Key_Return);
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
    ASSERT_EQ(message_box_.calls().size(), 1u);
    EXPECT_EQ(message_box_.calls()[0].style, 16);
    EXPECT_NE(message_box_.calls()[0].prompt.find("C:\\Photos\\out"),
              std::string::npos)
        << message_box_.calls()[0].prompt;
    PressOk(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(form_->Label8->Caption(), "C:\\Photos");
}

TEST_F(Dialog3Test, MainWindowFolderGoneIsReportedAndTheDialogStillOpens) {
  std::filesystem::remove_all(drives_.Host('C', "Photos"));
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\");
    ASSERT_EQ(message_box_.calls().size(), 1u);
    EXPECT_NE(message_box_.calls()[0].prompt.find("C:\\Photos"),
              std::string::npos);
    PressCancel(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 1);
  EXPECT_EQ(form_->Label8->Caption(), "");
}

TEST_F(Dialog3Test, WithBothFoldersGoneItOpensAtTheNearestFolderThatIsLeft) {
  // The main window's folder and the current folder of its drive both go.
  drives_.MakeFolder('C', "Photos/out/deep");
  ASSERT_TRUE(file_system_->ChangeFolder("C:\\Photos\\out").ok());
  ASSERT_TRUE(form_->Dir1->SetPath("C:\\Photos\\out\\deep").ok());
  std::filesystem::remove_all(drives_.Host('C', "Photos/out"));
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(dialog.Dir1->Path(), "C:\\Photos");
    EXPECT_EQ(dialog.Drive1->Drive(), "c:");
    ASSERT_EQ(message_box_.calls().size(), 1u);
    EXPECT_EQ(message_box_.calls()[0].title, "Folder Not Opened");
    EXPECT_TRUE(message_box_.calls()[0].prompt.ends_with(
        "\r\n\r\nThe lists show C:\\Photos."))
        << message_box_.calls()[0].prompt;
    PressOk(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(form_->Label8->Caption(), "C:\\Photos");
  ExpectNotice("Files will be renamed and re-located at: C:\\Photos", true);
}

// One failure, one message: a folder gone before it is opened reads the
// same in the main window and in the dialog.
TEST_F(Dialog3Test, AFolderThatCannotBeOpenedReadsTheSameInBothWindows) {
  auto open_out = [](DirListBox& list) {
    QList<QTreeWidgetItem*> items =
        list.findItems("out", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    list.setCurrentItem(items[0]);
    QTest::keyClick(&list, Qt::Key_Return);
  };
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    std::filesystem::remove_all(drives_.Host('C', "Photos/out"));
    open_out(*dialog.Dir1);
    PressCancel(dialog);
  });
  form_->Command6->click();
  open_out(*form_->Dir1);

  ASSERT_EQ(message_box_.calls().size(), 2u);
  for (const auto& call : message_box_.calls()) {
    EXPECT_EQ(call.title, "Folder Not Opened");
    EXPECT_EQ(call.style, 16);
    EXPECT_TRUE(call.prompt.starts_with(
        "The folder C:\\Photos\\out cannot be opened.\r\n\r\n"))
        << call.prompt;
    EXPECT_TRUE(call.prompt.ends_with("\r\n\r\nThe lists show C:\\Photos."))
        << call.prompt;
  }
  EXPECT_EQ(message_box_.calls()[0], message_box_.calls()[1]);
}

TEST_F(Dialog3Test, LayoutFocusAndKeys) {
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Select a new path");
    EXPECT_EQ(dialog.size(), QSize(184, 212));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(dialog.windowIcon().isNull());
    struct Placed {
      QWidget* widget;
      QRect twips;
    } placed[] = {
        {dialog.OKButton, {120, 2760, 1215, 375}},
        {dialog.CancelButton, {1440, 2760, 1215, 375}},
        {dialog.Drive1, {120, 120, 2535, 315}},
        {dialog.Dir1, {120, 480, 2535, 1665}},
        {dialog.Command1, {480, 2280, 1815, 375}},
    };
    for (const Placed& p : placed) {
      EXPECT_EQ(p.widget->geometry(),
                TwipsRect(p.twips.x(), p.twips.y(), p.twips.width(),
                          p.twips.height()))
          << p.widget->metaObject()->className();
    }
    EXPECT_EQ(dialog.OKButton->text(), "OK");
    EXPECT_EQ(dialog.CancelButton->text(), "Cancel");
    EXPECT_EQ(dialog.Command1->text(), "Create new folder");

    EXPECT_EQ(dialog.focusWidget(), dialog.OKButton);
    std::vector<QWidget*> order = {dialog.focusWidget()};
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(order.back(), Qt::Key_Tab);
      order.push_back(dialog.focusWidget());
    }
    EXPECT_EQ(order, (std::vector<QWidget*>{dialog.OKButton,
                                            dialog.CancelButton, dialog.Drive1,
                                            dialog.Dir1, dialog.Command1}));

    // No default and no cancel button: Enter away from the buttons and Esc
    // do nothing.
    dialog.Drive1->setFocus();
    QTest::keyClick(dialog.Drive1, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible()) << "Enter or Esc closed the dialog";
    EXPECT_EQ(form_->Label8->Caption(), "");
    // Nothing is drawn as the default button, wherever the focus is.
    for (QPushButton* button :
         {dialog.OKButton, dialog.CancelButton, dialog.Command1}) {
      EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
      EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }
    dialog.CancelButton->setFocus();
    QTest::keyClick(dialog.CancelButton, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible())
        << "Enter did not press the focused button";
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 1);
}

}  // namespace
}  // namespace ui::testing
