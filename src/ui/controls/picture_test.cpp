#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include "ui/controls/picture_button.h"

namespace ui {
namespace {

struct PictureCase {
  const char* path;
  QSize size;
};

constexpr PictureCase kPictures[] = {
    {":/pelloquin/rename_all.png", {61, 55}},
    {":/pelloquin/clear_list.png", {20, 26}},
    {":/pelloquin/exit.png", {32, 31}},
    {":/pelloquin/pelloquin.png", {16, 16}},
};

TEST(LoadPictureTest, OrdinaryScreensGetThePictureAtItsOwnSize) {
  for (const PictureCase& c : kPictures) {
    const QPixmap picture = LoadPicture(c.path, 1.0);
    EXPECT_EQ(picture.size(), c.size) << c.path;
    EXPECT_EQ(picture.devicePixelRatio(), 1.0) << c.path;
  }
}

// At 2x (and at fractional scales above 1, which Qt rounds up to it) the
// picture keeps its logical size with twice the pixels, drawn sharp, not
// enlarged.
TEST(LoadPictureTest, DenseScreensGetTwiceThePixelsAtTheSameLogicalSize) {
  for (const qreal ratio : {2.0, 1.5}) {
    for (const PictureCase& c : kPictures) {
      const QPixmap picture = LoadPicture(c.path, ratio);
      EXPECT_EQ(picture.size(), c.size * 2) << c.path << " at " << ratio;
      EXPECT_EQ(picture.deviceIndependentSize().toSize(), c.size) << c.path;
      // Drawn anew at the finer grid, not the small one blown up.
      const QImage enlarged = QPixmap(c.path).toImage().scaled(c.size * 2);
      EXPECT_NE(picture.toImage().convertToFormat(QImage::Format_ARGB32),
                enlarged.convertToFormat(QImage::Format_ARGB32))
          << c.path;
    }
  }
}

TEST(LoadPictureTest, APictureWithoutATwinIsUsedAsItIs) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath("single.png");
  QImage image(10, 12, QImage::Format_ARGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(path));
  const QPixmap picture = LoadPicture(path, 2.0);
  EXPECT_EQ(picture.size(), QSize(10, 12));
  EXPECT_EQ(picture.devicePixelRatio(), 1.0);
}

}  // namespace
}  // namespace ui
