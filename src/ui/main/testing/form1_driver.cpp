#include "ui/main/testing/form1_driver.h"

#include <QTest>

#include "ui/controls/text.h"

namespace ui::testing {

void Form1Driver::SetUp() {
  top_levels_before_ = QApplication::topLevelWidgets().size();
}

void Form1Driver::TearDown() {
  form_.reset();
  EXPECT_EQ(QApplication::topLevelWidgets().size(), top_levels_before_)
      << "a window outlived the test";
}

Form1& Form1Driver::OpenOver(platform::FileSystem& file_system) {
  form_ = std::make_unique<Form1>(file_system, message_box_);
  form_->show();
  QApplication::setActiveWindow(form_.get());
  EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  return *form_;
}

void Form1Driver::ClickFile(const std::string& name) {
  FileListBox* list = form_->File1;
  for (int row = 0; row < list->ListCount(); ++row) {
    if (list->List(row) != name) continue;
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(index).center());
    return;
  }
  ADD_FAILURE() << "File1 does not list " << name;
}

void Form1Driver::ClickListEntry(int row) {
  ListBox* list = form_->List1;
  const QModelIndex index = list->model()->index(row, 0);
  list->scrollTo(index);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualRect(index).center());
}

void Form1Driver::OpenFolder(const std::string& name) {
  DirListBox* dirs = form_->Dir1;
  const QList<QTreeWidgetItem*> found =
      dirs->findItems(ToQt(name), Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_EQ(found.size(), 1) << "Dir1 does not show " << name;
  dirs->scrollToItem(found.front());
  const QPoint centre = dirs->visualItemRect(found.front()).center();
  // A double click as the window system delivers it: press, release,
  // press, double click, release.
  QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, centre);
  QTest::mousePress(dirs->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseRelease(dirs->viewport(), Qt::LeftButton, {}, centre);
}

void Form1Driver::PickDrive(char letter) {
  DriveListBox* drives = form_->Drive1;
  for (int row = 0; row < drives->count(); ++row) {
    if (drives->drives()[row].letter == letter) {
      drives->setCurrentIndex(row);  // what a pick in the drop-down does
      return;
    }
  }
  ADD_FAILURE() << "Drive1 does not list " << letter;
}

void Form1Driver::Type(QWidget* widget, const QString& text) {
  widget->setFocus();
  QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);  // typed over
  QTest::keyClicks(widget, text);
}

void Form1Driver::Click(QWidget* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

std::vector<std::string> Form1Driver::Entries() const {
  std::vector<std::string> entries;
  for (int row = 0; row < form_->List1->ListCount(); ++row) {
    entries.push_back(form_->List1->List(row));
  }
  return entries;
}

std::vector<std::string> Form1Driver::ListedFiles() const {
  std::vector<std::string> names;
  for (int row = 0; row < form_->File1->ListCount(); ++row) {
    names.push_back(form_->File1->List(row));
  }
  return names;
}

}  // namespace ui::testing
