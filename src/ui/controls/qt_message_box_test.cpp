// The message box on screen, driven as the user would: it opens modal, and
// a queued call finds it and presses a button.
#include "ui/controls/qt_message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "platform/message_box.h"
#include "ui/controls/testing/modal.h"

namespace ui {
namespace {

struct Seen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  bool modal = false;
};

// Shows the box, records what it shows and presses `press` (or, with
// NoButton, the Enter key: the default button).
int ShowAndPress(int style, QMessageBox::StandardButton press, Seen& seen) {
  testing::WhenModalOpens([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.modal = box->isModal();
    for (QAbstractButton* button : box->buttons()) {
      seen.buttons << box->standardButton(button);
    }
    if (box->defaultButton() != nullptr) {
      seen.default_button = box->standardButton(box->defaultButton());
    }
    if (press == QMessageBox::NoButton) {
      QTest::keyClick(box, Qt::Key_Return);
    } else {
      box->button(press)->click();
    }
  });
  QtMessageBox message_box;
  return message_box.Show("Are you sure?", style, "Clear list");
}

TEST(QtMessageBoxTest, YesNoBoxWithNoAsDefault) {
  const qsizetype windows = QApplication::topLevelWidgets().size();
  Seen seen;
  EXPECT_EQ(ShowAndPress(324, QMessageBox::NoButton, seen), 7);
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.title, "Clear list");
  EXPECT_EQ(seen.text, "Are you sure?");
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons.size(), 2);
  EXPECT_TRUE(seen.buttons.contains(QMessageBox::Yes));
  EXPECT_TRUE(seen.buttons.contains(QMessageBox::No));
  EXPECT_EQ(seen.default_button, QMessageBox::No);

  Seen again;
  EXPECT_EQ(ShowAndPress(324, QMessageBox::Yes, again), 6);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
}

TEST(QtMessageBoxTest, ErrorAndInformationBoxesHaveOneOkButton) {
  struct Case {
    int style;
    QMessageBox::Icon icon;
  };
  for (const Case& c :
       {Case{16, QMessageBox::Critical}, Case{64, QMessageBox::Information}}) {
    Seen seen;
    EXPECT_EQ(ShowAndPress(c.style, QMessageBox::NoButton, seen), 1);
    EXPECT_EQ(seen.icon, c.icon) << c.style;
    EXPECT_EQ(seen.buttons,
              QList<QMessageBox::StandardButton>{QMessageBox::Ok});
  }
}

TEST(QtMessageBoxTest, OpensOverTheDialogThatIsOpen) {
  QWidget owner;
  QtMessageBox message_box(&owner);
  QWidget* parent_seen = nullptr;
  int answer = 0;
  QDialog dialog(&owner);
  testing::WhenModalOpens([&](QWidget* open_dialog) {
    testing::WhenModalOpens([&](QWidget* box) {
      parent_seen = box->parentWidget();
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    answer = message_box.Show("Not made", 16, "Error");
    qobject_cast<QDialog*>(open_dialog)->reject();
  });
  dialog.exec();
  EXPECT_EQ(parent_seen, &dialog);
  EXPECT_EQ(answer, 1);
}

}  // namespace
}  // namespace ui
