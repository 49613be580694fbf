// The three windows at the user's font size: nothing cut off, and the
// user's font kept wherever it fits.
#include <QApplication>
#include <QFontInfo>

#include "ui/destination/destination_test_support.h"
#include "ui/main/caption_fit.h"

namespace ui::testing {
namespace {

// The desktop font set to a size in points before the windows are made.
class WindowFitTest : public DestinationTest,
                      public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    saved_font_ = QApplication::font();
    QApplication::setFont(QFont("DejaVu Sans", GetParam()));
    DestinationTest::SetUp();
  }
  void TearDown() override {
    DestinationTest::TearDown();
    QApplication::setFont(saved_font_);
  }

  // True when the control has no font of its own: the user's font.
  static bool KeepsUsersFont(const QWidget* control) {
    return control->font() == QApplication::font();
  }

  QFont saved_font_;
};

TEST_P(WindowFitTest, NoCaptionIsCutOffInAnyWindow) {
  EXPECT_EQ(CutCaptions(*form_).toStdString(), "");
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    EXPECT_EQ(CutCaptions(dialog).toStdString(), "");
    WhenOpens<NEWDIR>([&](NEWDIR& newdir) {
      EXPECT_EQ(CutCaptions(newdir).toStdString(), "");
      newdir.Cancel_UIButton->click();
    });
    dialog.Command1->click();
    PressCancel(dialog);
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 2);
}

TEST_P(WindowFitTest, ControlsWhoseCaptionsFitKeepTheUsersFont) {
  for (const QWidget* control :
       {static_cast<QWidget*>(form_->List1),
        static_cast<QWidget*>(form_->File1), static_cast<QWidget*>(form_->Dir1),
        static_cast<QWidget*>(form_->Drive1),
        static_cast<QWidget*>(form_->Label5)}) {
    EXPECT_TRUE(KeepsUsersFont(control)) << control->objectName().toStdString();
  }
  form_->Label5->SetBold(true);  // the alert look keeps the user's size
  EXPECT_EQ(QFontInfo(form_->Label5->font()).pointSize(), GetParam());
  EXPECT_TRUE(QFontInfo(form_->Label5->font()).bold());
  WhenOpens<Dialog3>([&](Dialog3& dialog) {
    for (const QWidget* control :
         {static_cast<QWidget*>(dialog.Dir1),
          static_cast<QWidget*>(dialog.OKButton),
          static_cast<QWidget*>(dialog.CancelButton)}) {
      EXPECT_TRUE(KeepsUsersFont(control))
          << control->metaObject()->className();
    }
    PressCancel(dialog);
  });
  form_->Command6->click();
}

INSTANTIATE_TEST_SUITE_P(AtCommonDesktopSizes, WindowFitTest,
                         ::testing::Values(9, 11, 12), [](const auto& info) {
                           return std::to_string(info.param) + "pt";
                         });

// A drive's long label does not shrink any caption: the drive list's
// pop-up widens to it.
TEST_F(DestinationTest, ALongDriveLabelChangesNoOtherControlsFont) {
  std::vector<platform::posix::DriveMapping> labelled = drives_.mappings();
  labelled.back().label = std::string(80, 'W');
  platform::posix::PosixFileSystem file_system(labelled);
  ASSERT_TRUE(file_system.ChangeDrive("C:").ok());
  Form1 labelled_form(file_system, message_box_);
  const QList<QWidget*> plain = form_->findChildren<QWidget*>();
  const QList<QWidget*> other = labelled_form.findChildren<QWidget*>();
  ASSERT_EQ(plain.size(), other.size());
  for (qsizetype i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(other[i]->font(), plain[i]->font())
        << plain[i]->objectName().toStdString();
  }
}

}  // namespace
}  // namespace ui::testing
