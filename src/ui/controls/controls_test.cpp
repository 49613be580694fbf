// The browser's controls and the list box: the events they raise and what
// they show, over temporary folders as drives.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>
#include <memory>

#include "platform/posix/posix_file_system.h"
#include "platform/testing/temp_drives.h"
#include "ui/controls/dir_list_box.h"
#include "ui/controls/drive_list_box.h"
#include "ui/controls/drop_down.h"
#include "ui/controls/file_list_box.h"
#include "ui/controls/label.h"
#include "ui/controls/list_box.h"
#include "ui/controls/progress_bar.h"

namespace ui {
namespace {

using Strings = std::vector<std::string>;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_system_ =
        std::make_unique<platform::posix::PosixFileSystem>(drives_.mappings());
  }

  // Shows the widget in a window of its own, deleted with the test.
  template <typename T>
  T* Shown(T* widget) {
    widget->resize(200, 300);
    widget->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(widget));
    owned_.emplace_back(widget);
    return widget;
  }

  void ClickRow(QListView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(index).center());
  }

  platform::testing::TempDrives drives_{"CD"};
  std::unique_ptr<platform::posix::PosixFileSystem> file_system_;
  std::vector<std::unique_ptr<QWidget>> owned_;
};

TEST_F(ControlsTest, AListClickComesOncePerClickAndPerKeyboardMove) {
  ListBox* list = Shown(new ListBox);
  for (const char* entry : {"one", "two", "three"}) list->AddItem(entry);
  int clicks = 0;
  QObject::connect(list, &ListBox::Click, [&] { ++clicks; });

  ClickRow(list, 1);
  EXPECT_EQ(clicks, 1);
  ClickRow(list, 1);  // the item already selected
  EXPECT_EQ(clicks, 2);
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(list->ListIndex(), 2);
  QTest::keyClick(list, Qt::Key_Down);  // at the end: nothing moves
  EXPECT_EQ(clicks, 3);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    QPoint(5, list->viewport()->height() - 3));  // below items
  EXPECT_EQ(clicks, 3);
  list->SetListIndex(0);  // from code: no click
  EXPECT_EQ(clicks, 3);

  // A double click, as the window system delivers it: press, release,
  // press, double click, release. One click.
  const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, first);
  EXPECT_EQ(clicks, 4);
  ClickRow(list, 0);
  EXPECT_EQ(clicks, 5) << "the click after a double click counts again";
}

TEST_F(ControlsTest, ADoubleClickThatRemovesAnEntryLeavesNothingSelected) {
  ListBox* list = Shown(new ListBox);
  for (const char* entry : {"one", "two", "three"}) list->AddItem(entry);
  // As the rename list does: a click removes the entry clicked.
  QObject::connect(list, &ListBox::Click,
                   [list] { list->RemoveItem(list->ListIndex()); });
  const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, first);
  EXPECT_EQ(list->ListCount(), 2) << "one click, one removal";
  EXPECT_EQ(list->ListIndex(), -1);
  EXPECT_TRUE(list->selectionModel()->selectedIndexes().isEmpty());
}

// Turns the wheel one notch down over the widget.
void WheelDown(QWidget* widget) {
  const QPointF at = QPointF(widget->rect().center());
  QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &wheel);
}

TEST_F(ControlsTest, TheWheelChangesADropDownOnlyWhileItHasTheFocus) {
  auto* window = new QWidget;
  auto* other = new ListBox(window);
  other->setGeometry(0, 0, 200, 100);
  auto* drives = new DriveListBox(*file_system_, window);
  drives->move(0, 110);
  auto* choices = new DropDown(window);
  choices->addItems({"a", "b", "c"});
  choices->setCurrentIndex(0);
  choices->move(0, 150);
  auto* typed = new DropDown(window);
  typed->setEditable(true);
  typed->addItems({"jpg", "png"});
  typed->setCurrentIndex(0);
  typed->move(0, 190);
  Shown(window);
  QApplication::setActiveWindow(window);
  for (QComboBox* drop_down :
       {static_cast<QComboBox*>(drives), static_cast<QComboBox*>(choices),
        static_cast<QComboBox*>(typed)}) {
    other->setFocus();
    WheelDown(drop_down);
    EXPECT_EQ(drop_down->currentIndex(), 0) << "changed without the focus";
    EXPECT_FALSE(drop_down->hasFocus()) << "the wheel took the focus";
    drop_down->setFocus();
    WheelDown(drop_down);
    EXPECT_EQ(drop_down->currentIndex(), 1) << "focused, the wheel works";
  }
}

TEST_F(ControlsTest, ListBoxKeepsOrderAndCountsExactMatches) {
  ListBox list;
  list.AddItem("C:\\a.jpg");
  list.AddItem("C:\\A.jpg");
  list.AddItem("C:\\b.jpg");
  EXPECT_EQ(list.CountOf("C:\\a.jpg"), 1);
  EXPECT_EQ(list.CountOf("c:\\a.jpg"), 0);
  EXPECT_EQ(list.CountOf("C:\\a.jpg "), 0);
  list.RemoveItem(0);
  EXPECT_EQ(list.CountOf("C:\\a.jpg"), 0)
      << "the index forgets removed entries";
  EXPECT_EQ(list.List(0), "C:\\A.jpg");
  list.RemoveItem(5);  // out of range: ignored
  EXPECT_EQ(list.ListCount(), 2);
  list.Clear();
  EXPECT_EQ(list.CountOf("C:\\b.jpg"), 0);
  EXPECT_EQ(list.ListCount(), 0);
}

TEST_F(ControlsTest, DriveListRaisesChangeOnlyWhenTheSelectionChanges) {
  DriveListBox drives(*file_system_);
  EXPECT_EQ(drives.Drive(), "c:");
  int changes = 0;
  QObject::connect(&drives, &DriveListBox::Change, [&] { ++changes; });
  EXPECT_TRUE(drives.SetDrive("d:"));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(drives.SetDrive("D:\\somewhere"));
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(drives.SetDrive("q:"));
  EXPECT_EQ(drives.Drive(), "d:");
  drives.Refresh();
  EXPECT_EQ(drives.Drive(), "d:");
  EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, FolderListShowsAncestorsAndSubfoldersOfTheOpenFolder) {
  drives_.MakeFolder('C', "In/Sub/y");
  drives_.MakeFolder('C', "In/Sub/X");
  drives_.MakeFolder('C', "Other");
  DirListBox* dirs = Shown(new DirListBox(*file_system_));
  int changes = 0;
  QObject::connect(dirs, &DirListBox::Change, [&] { ++changes; });

  ASSERT_TRUE(dirs->SetPath("C:\\In\\Sub").ok());
  EXPECT_EQ(dirs->Path(), "C:\\In\\Sub");
  EXPECT_EQ(dirs->EntryPaths(), (Strings{"C:\\", "C:\\In", "C:\\In\\Sub",
                                         "C:\\In\\Sub\\X", "C:\\In\\Sub\\y"}));
  EXPECT_EQ(changes, 1);
  ASSERT_TRUE(dirs->SetPath("C:\\\\In\\Sub").ok());  // the same folder
  EXPECT_EQ(changes, 1);

  // A single click only highlights; Enter opens the highlighted entry.
  QTreeWidgetItem* root = dirs->topLevelItem(0);
  QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {},
                    dirs->visualItemRect(root).center());
  EXPECT_EQ(dirs->Path(), "C:\\In\\Sub");
  QTest::keyClick(dirs, Qt::Key_Return);
  EXPECT_EQ(dirs->Path(), "C:\\");
  EXPECT_EQ(dirs->EntryPaths(), (Strings{"C:\\", "C:\\In", "C:\\Other"}));
  EXPECT_EQ(changes, 2);
}

TEST_F(ControlsTest, OpenFolderAndAncestorsShowAnOpenIconSubfoldersAClosedOne) {
  drives_.MakeFolder('C', "In/Summertime in the mountains with friends");
  drives_.MakeFolder('C', "In/b");
  DirListBox* dirs = Shown(new DirListBox(*file_system_));
  ASSERT_TRUE(dirs->SetPath("C:\\In").ok());
  std::vector<QTreeWidgetItem*> items;
  for (QTreeWidgetItemIterator it(dirs); *it != nullptr; ++it) {
    items.push_back(*it);
  }
  ASSERT_EQ(items.size(), 4u);  // C:\, In, b, Summertime...
  auto image = [](QTreeWidgetItem* item) {
    return item->icon(0).pixmap(16, 16).toImage();
  };
  EXPECT_EQ(image(items[0]), image(items[1])) << "the root and the open one";
  EXPECT_EQ(image(items[2]), image(items[3])) << "both subfolders";
  EXPECT_NE(image(items[1]), image(items[2])) << "open differs from closed";
  EXPECT_EQ(items[3]->toolTip(0), "Summertime in the mountains with friends");
}

TEST_F(ControlsTest, FolderListStaysWhenAFolderCannotBeOpened) {
  drives_.MakeFolder('C', "In");
  DirListBox dirs(*file_system_);
  ASSERT_TRUE(dirs.SetPath("C:\\In").ok());
  int changes = 0;
  QObject::connect(&dirs, &DirListBox::Change, [&] { ++changes; });
  EXPECT_FALSE(dirs.SetPath("C:\\Missing").ok());
  EXPECT_EQ(dirs.Path(), "C:\\In");
  EXPECT_EQ(dirs.EntryPaths(), (Strings{"C:\\", "C:\\In"}));
  EXPECT_EQ(changes, 0);
}

TEST_F(ControlsTest, FileListFollowsPathAndPatternAndRefreshes) {
  drives_.MakeFolder('C', "In");
  drives_.WriteFile('C', "In/b.JPG", "b");
  drives_.WriteFile('C', "In/a.txt", "a");
  drives_.WriteFile('C', "In/.hidden", "h");
  FileListBox files(*file_system_);
  ASSERT_TRUE(files.SetPath("C:\\In").ok());
  EXPECT_EQ(files.Pattern(), "*.*");
  EXPECT_EQ(files.ListCount(), 2);
  EXPECT_EQ(files.List(0), "a.txt");
  ASSERT_TRUE(files.SetPattern("*.jpg;*.zip").ok());
  EXPECT_EQ(files.ListCount(), 1);
  EXPECT_EQ(files.List(0), "b.JPG");
  EXPECT_EQ(files.FileName(), "") << "nothing selected";
  drives_.WriteFile('C', "In/c.jpg", "c");
  ASSERT_TRUE(files.Refresh().ok());
  EXPECT_EQ(files.ListCount(), 2);
  EXPECT_FALSE(files.SetPath("C:\\Missing").ok());
  EXPECT_EQ(files.Path(), "C:\\In");
  EXPECT_EQ(files.ListCount(), 2);
}

TEST_F(ControlsTest, LabelKeepsItsCaptionExactlyAndShowsOneBreakPerPair) {
  Label label;
  label.SetCaption("NOTE THIS!\n\rFiles");
  EXPECT_EQ(label.Caption(), "NOTE THIS!\n\rFiles");
  EXPECT_EQ(label.text(), "NOTE THIS!\nFiles");
  label.SetCaption("a\n\nb");
  EXPECT_EQ(label.text(), "a\n\nb") << "two line feeds are two breaks";
}

TEST_F(ControlsTest, AnElidedLabelCutsItsMiddleAndShowsTheWholeOnHover) {
  Label label("", nullptr);
  label.resize(120, 17);
  label.ElideInTheMiddle();
  const std::string deep = "C:\\Photos\\2024\\Summer\\Mountains\\Day three\\";
  label.SetCaption(deep);
  EXPECT_EQ(label.Caption(), deep);
  EXPECT_TRUE(label.text().startsWith("C:\\")) << label.text().toStdString();
  EXPECT_TRUE(label.text().endsWith("three\\")) << label.text().toStdString();
  EXPECT_TRUE(label.text().contains(QChar(0x2026)));
  EXPECT_FALSE(label.wordWrap());
  EXPECT_EQ(label.toolTip().toStdString(), deep);
  EXPECT_EQ(label.accessibleName().toStdString(), deep);
  label.SetCaption("C:\\");
  EXPECT_EQ(label.text(), "C:\\");
  EXPECT_EQ(label.toolTip(), "") << "nothing hidden, no hint";
}

TEST_F(ControlsTest, ClassicColourValues) {
  EXPECT_EQ(ToQColor(255), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0x00FF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0x8000000D),
            QApplication::palette().color(QPalette::Highlight));
}

TEST_F(ControlsTest, ProgressBarKeepsTheSinglePrecisionValue) {
  ProgressBar bar;
  bar.SetValue(static_cast<float>(1.0 / 3.0 * 100.0));
  EXPECT_EQ(bar.Value(), 33.333332f);
}

}  // namespace
}  // namespace ui
