// The main window as the user meets it: its state at start, its frame,
// hints, tab order, and "Exit".
#include <QApplication>
#include <QTest>
#include <map>

#include "platform/message_box.h"
#include "ui/controls/text.h"
#include "ui/main/caption_fit.h"
#include "ui/main/testing/form1_test_support.h"

namespace ui::testing {
namespace {

using platform::testing::ScriptedMessageBox;

TEST_F(Form1Test, FreshWindowShowsItsInitialState) {
  drives_.WriteFile('C', "b.jpg", "b");
  drives_.WriteFile('C', "a.txt", "a");
  drives_.MakeFolder('C', "Photos");
  Form1& f = Open();

  EXPECT_EQ(f.Text1->text(), "");
  EXPECT_EQ(f.Combo1->currentIndex(), -1);
  EXPECT_EQ(f.Combo1->currentText(), "");
  EXPECT_EQ(f.Combo1->count(), 6);
  EXPECT_EQ(f.Text3->text(), "1");
  EXPECT_EQ(f.Combo2->currentText(), "");
  EXPECT_EQ(f.Combo2->count(), 32);
  EXPECT_EQ(f.Check1Value(), 0);
  EXPECT_EQ(f.List1->ListCount(), 0);
  EXPECT_EQ(f.Label5->Caption(),
            "Files will be renamed and located at: (original path)");
  EXPECT_EQ(f.Label5->ForeColor(), 0x8000000Du);
  EXPECT_FALSE(f.Label5->Bold());
  EXPECT_EQ(f.Label5->palette().color(QPalette::WindowText),
            QApplication::palette().color(QPalette::Highlight));
  EXPECT_EQ(f.pb->Value(), 0.0f);
  EXPECT_EQ(f.Drive1->Drive(), "c:");
  EXPECT_EQ(f.Dir1->Path(), "C:\\");
  EXPECT_EQ(f.File1->Path(), "C:\\");
  EXPECT_EQ(f.File1->Pattern(), "*.*");
  EXPECT_EQ(ListedFiles(), (std::vector<std::string>{"a.txt", "b.jpg"}));
  EXPECT_EQ(f.Label6->Caption(), "");
  EXPECT_EQ(f.Label7->Caption(), "");
  EXPECT_EQ(f.Label8->Caption(), "");
  EXPECT_EQ(QApplication::focusWidget(), f.Drive1);
  EXPECT_TRUE(message_box_.calls().empty()) << "nothing runs at start";
}

TEST_F(Form1Test, CaptionsAndChoicesAreAsDesigned) {
  Form1& f = Open();
  using Captions = std::map<std::string, std::string>;
  const Captions captions = {
      {"Frame1", FromQt(f.Frame1->title())},
      {"Label1", f.Label1->Caption()},
      {"Label2", f.Label2->Caption()},
      {"Label3", f.Label3->Caption()},
      {"Label4", f.Label4->Caption()},
      {"Label9", f.Label9->Caption()},
      {"Command1", FromQt(f.Command1->text())},
      {"Check1", FromQt(f.Check1->text())},
      {"Command6", FromQt(f.Command6->text())},
      {"Command2", FromQt(f.Command2->text())},
      {"Command3", FromQt(f.Command3->text())},
      {"Command4", FromQt(f.Command4->text())},
      {"Command5", FromQt(f.Command5->text())},
  };
  EXPECT_EQ(captions,
            (Captions{
                {"Frame1", "File Name Templete "},
                {"Label1", "Name"},
                {"Label2", "how many 0"},
                {"Label3", "Start From:"},
                {"Label4", "File Type"},
                {"Label9", "Progress..."},
                {"Command1", "Filter Files with same Extention"},
                {"Check1", "Rename and move to a new location/folder"},
                {"Command6", "Change path"},
                {"Command2", "Restore"},
                {"Command3", "Rename All"},
                {"Command4", "Clear List"},
                {"Command5", "Exit"},
            }));

  using Items = std::vector<std::string>;
  auto items = [](const QComboBox* box) {
    Items texts;
    for (int i = 0; i < box->count(); ++i) {
      texts.push_back(FromQt(box->itemText(i)));
    }
    return texts;
  };
  EXPECT_EQ(items(f.Combo1), (Items{"", "0", "00", "000", "0000", "00000"}));
  EXPECT_EQ(items(f.Combo2),
            (Items{"jpg", "bmp", "gif", "mp3", "doc", "txt", "pdf",  "avi",
                   "mpg", "wmv", "asf", "mov", "rm",  "psd", "tiff", "wav",
                   "mid", "exe", "com", "bat", "png", "htm", "asp",  "css",
                   "js",  "iso", "img", "tmp", "rtf", "zip", "rar",  "ace"}));
}

TEST_F(Form1Test, WindowIsFixedInSizeWithoutMinimiseOrMaximise) {
  Form1& f = Open();
  EXPECT_EQ(f.size(), QSize(750, 539));
  EXPECT_EQ(f.minimumSize(), f.maximumSize());
  const Qt::WindowFlags flags = f.windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  // The version is the one CMake declares for the project.
  EXPECT_EQ(f.windowTitle(), "Pelloquin 1.0.0 - by the Pelloquin authors");
  EXPECT_FALSE(f.windowIcon().pixmap(16, 16).isNull());
  EXPECT_TRUE(f.windowIcon().availableSizes().contains(QSize(32, 32)));
  for (const Label* hidden : {f.Label6, f.Label7, f.Label8}) {
    EXPECT_GE(hidden->y(), f.height()) << hidden->objectName().toStdString();
    EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
  }
  EXPECT_EQ(f.pb->geometry(), QRect(8, 520, 737, 17));
  EXPECT_EQ(f.Command3->picture().deviceIndependentSize().toSize(),
            QSize(61, 55));
  EXPECT_EQ(f.Command4->picture().deviceIndependentSize().toSize(),
            QSize(20, 26));
  EXPECT_EQ(f.Command5->picture().deviceIndependentSize().toSize(),
            QSize(32, 31));
}

TEST_F(Form1Test, EveryCaptionFitsItsBox) {
  Form1& f = Open();
  EXPECT_EQ(CutCaptions(f).toStdString(), "");
}

// The first row of the frame starts at the caption's height: the frame's
// line must run above it, through the caption, not below the caption.
TEST_F(Form1Test, FramesLineRunsAboveItsFirstRow) {
  Form1& f = Open();
  const QImage frame = f.Frame1->grab().toImage();
  const QColor background = frame.pixelColor(frame.width() - 5, 2);
  // The line's row: the first from the top that differs from the
  // background right of the caption along most of its length.
  const int from = frame.width() / 2, to = frame.width() - 8;
  int line = -1;
  for (int y = 0; y < frame.height() && line < 0; ++y) {
    int drawn = 0;
    for (int x = from; x < to; ++x)
      drawn += frame.pixelColor(x, y) != background;
    if (drawn > (to - from) * 3 / 4) line = y;
  }
  ASSERT_GE(line, 0) << "no line found";
  EXPECT_LT(line, f.Text1->y());
  EXPECT_GE(line, 2) << "the line runs through the caption, not above it";
}

TEST_F(Form1Test, HintsAndAccessibleNamesAreSet) {
  Form1& f = Open();
  const std::map<QWidget*, QString> hints = {
      {f.File1, "Click on a file to add it to list"},
      {f.List1, "Click on a file to remove from list"},
      {f.Text1, "Enter a base name for all files"},
      {f.Text3, "File count shell begin with this #"},
      {f.Combo2, "Choose file type"},
      {f.Check1,
       "Check if you want the files re-located in another folder after "
       "renaming them"},
      {f.Command3, "Rename all files"},
      {f.Command4, "Clear rename list"},
      {f.Command5, "Exit Pelloquin"},
      {f.Command1, ""},
      {f.Command2, ""},
      {f.Command6, ""},
      {f.Combo1, ""},
      {f.Drive1, ""},
      {f.Dir1, ""},
  };
  for (const auto& [control, hint] : hints) {
    EXPECT_EQ(control->toolTip(), hint) << control->objectName().toStdString();
  }
  for (QWidget* control : f.findChildren<QWidget*>()) {
    const bool on_form =
        control->parentWidget() == &f || control->parentWidget() == f.Frame1;
    if (!on_form || control->y() >= f.height()) continue;  // never seen
    EXPECT_FALSE(control->accessibleName().isEmpty())
        << control->objectName().toStdString();
  }
}

// The control that `widget` belongs to (a drop-down's text box is part of
// the drop-down).
QString ControlOf(QWidget* widget) {
  while (widget != nullptr && widget->objectName().isEmpty()) {
    widget = widget->parentWidget();
  }
  return widget == nullptr ? QString() : widget->objectName();
}

TEST_F(Form1Test, TabVisitsTheControlsInTheirTabOrder) {
  Open();
  const QStringList expected = {"Drive1",   "Dir1",     "File1",    "List1",
                                "Text1",    "Text3",    "Command1", "Command3",
                                "Command4", "Command5", "Combo1",   "Combo2",
                                "Check1",   "Command6", "Command2", "Drive1"};
  QStringList visited = {ControlOf(QApplication::focusWidget())};
  for (int step = 1; step < expected.size(); ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << ControlOf(QApplication::focusWidget());
  }
  EXPECT_EQ(visited, expected);
}

TEST_F(Form1Test, EnterAndEscTriggerNoButton) {
  drives_.WriteFile('C', "a.jpg", "a");
  Form1& f = Open();
  ClickFile("a.jpg");
  Type(f.Text1, "Trip");
  Type(f.Combo2->lineEdit(), "jpg");
  message_box_.Clear();
  for (QWidget* focus : {static_cast<QWidget*>(f.Text1),
                         static_cast<QWidget*>(f.Combo2->lineEdit()),
                         static_cast<QWidget*>(f.Text3)}) {
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_Return);
    QTest::keyClick(focus, Qt::Key_Escape);
  }
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_TRUE(drives_.Exists('C', "a.jpg")) << "no rename ran";
  EXPECT_EQ(f.List1->ListCount(), 1);
  EXPECT_TRUE(f.isVisible()) << "Esc did not exit";
  EXPECT_EQ(f.Combo2->count(), 32) << "Enter added no extension choice";
}

TEST_F(Form1Test, ExitClosesAtOnceWithoutAskingAndLosesTheList) {
  drives_.WriteFile('C', "a.jpg", "a");
  Form1& f = Open();
  ClickFile("a.jpg");
  message_box_.Clear();
  Click(f.Command5);
  EXPECT_FALSE(f.isVisible());
  EXPECT_TRUE(message_box_.calls().empty());
  EXPECT_TRUE(drives_.Exists('C', "a.jpg"));
}

TEST_F(Form1Test, EmptiedRunningNumberBecomesOne) {
  Form1& f = Open();
  Type(f.Text3, "25");
  EXPECT_EQ(f.Text3->text(), "25");
  f.Text3->setFocus();
  QTest::keyClick(f.Text3, Qt::Key_Backspace);
  QTest::keyClick(f.Text3, Qt::Key_Backspace);
  EXPECT_EQ(f.Text3->text(), "1");
  f.Text3->setText("");
  EXPECT_EQ(f.Text3->text(), "1") << "set from code, the rule applies too";
  f.Text3->setText(" ");
  EXPECT_EQ(f.Text3->text(), " ") << "only an empty text is replaced";
}

TEST_F(Form1Test, TypingInTheTemplateBoxesChangesNothingElse) {
  drives_.WriteFile('C', "a.jpg", "a");
  Form1& f = Open();
  Type(f.Text1, "Trip");
  Type(f.Combo2->lineEdit(), "png");
  f.Combo1->setCurrentIndex(3);
  EXPECT_EQ(f.File1->Pattern(), "*.*");
  EXPECT_EQ(f.Label5->Caption(),
            "Files will be renamed and located at: (original path)");
  EXPECT_EQ(f.List1->ListCount(), 0);
  EXPECT_TRUE(message_box_.calls().empty());
}

}  // namespace
}  // namespace ui::testing
