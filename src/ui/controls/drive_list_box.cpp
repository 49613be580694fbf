#include "ui/controls/drive_list_box.h"

#include <QApplication>
#include <QStyle>
#include <cctype>

#include "ui/controls/text.h"

namespace ui {

DriveListBox::DriveListBox(platform::FileSystem& file_system, QWidget* parent)
    : DropDown(parent), file_system_(file_system) {
  setEditable(false);
  Refresh();
  const int current = RowOfLetter(file_system_.CurrentDrive());
  loading_ = true;
  setCurrentIndex(current >= 0 ? current : (count() > 0 ? 0 : -1));
  loading_ = false;
  connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!loading_) emit Change();
  });
}

std::string DriveListBox::Drive() const {
  const int row = currentIndex();
  return row < 0 ? std::string() : drives_[row].name;
}

bool DriveListBox::SetDrive(std::string_view drive) {
  if (drive.empty()) return false;
  const int row = RowOfLetter(static_cast<char>(
      std::toupper(static_cast<unsigned char>(drive.front()))));
  if (row < 0) return false;
  setCurrentIndex(row);
  return true;
}

void DriveListBox::Refresh() {
  const std::string selected = Drive();
  loading_ = true;
  drives_ = file_system_.ListDrives();
  clear();
  const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
  for (const platform::DriveInfo& drive : drives_) {
    addItem(icon, ToQt(drive.name));
  }
  if (!selected.empty()) {
    const int row = RowOfLetter(static_cast<char>(
        std::toupper(static_cast<unsigned char>(selected.front()))));
    setCurrentIndex(row >= 0 ? row : 0);
  }
  loading_ = false;
}

void DriveListBox::showPopup() {
  Refresh();
  QComboBox::showPopup();
}

int DriveListBox::RowOfLetter(char letter) const {
  for (size_t row = 0; row < drives_.size(); ++row) {
    if (drives_[row].letter == letter) return static_cast<int>(row);
  }
  return -1;
}

}  // namespace ui
