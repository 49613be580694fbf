#include "ui/main/form1.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPixmap>
#include <QSignalBlocker>

#include "engine/browse_messages.h"
#include "engine/name_template.h"
#include "ui/controls/accessible.h"
#include "ui/controls/text.h"
#include "ui/controls/twips.h"
#include "ui/main/caption_fit.h"

namespace ui {
namespace {

constexpr int kClientWidth = 11250;
constexpr int kClientHeight = 8085;
constexpr int kSmallestFontPixels = 9;

platform::NumberFormat UserNumberFormat() {
  return platform::NumberFormat(FromQt(QLocale::system().decimalPoint()));
}

}  // namespace

std::string MainWindowTitle() {
  return std::string("Pelloquin ") + PELLOQUIN_VERSION +
         " - by the Pelloquin authors";
}

Form1::Form1(platform::FileSystem& file_system,
             platform::MessageBox& message_box, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      file_system_(file_system),
      message_box_(message_box),
      numbers_(UserNumberFormat()) {
  InstallAccessibleInterfaces();
  setWindowTitle(ToQt(MainWindowTitle()));
  QIcon icon(":/pelloquin/pelloquin.png");
  icon.addFile(":/pelloquin/pelloquin@2x.png");
  setWindowIcon(icon);
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  CreateControls();
  NameControls();
  // The user's font, except where a caption would be cut off in its fixed
  // box.
  FitCaptions(*this, kSmallestFontPixels,
              {{Label1, Label2, Label3, Label4},
               {Text1, Combo1, Text3, Combo2},
               {Command6, Command2},
               {Command3, Command4, Command5}});
  SetNoticeLook(engine::kNoticePlain);
  SetTabOrder();
  SetAccessibleNames();
  OpenStartFolder();
  ConnectHandlers();
  Drive1->setFocus();
}

void Form1::OpenStartFolder() {
  platform::Result<std::string> start = file_system_.CurrentFolder();
  if (!start.ok()) return;
  const platform::Status opened = Dir1->SetPathOrAbove(*start);
  // Nothing on the start drive could be listed: the first drive whose root
  // can be takes its place.
  for (const platform::DriveInfo& drive : Drive1->drives()) {
    if (!Dir1->Path().empty()) break;
    Dir1->SetPath(std::string{drive.letter, ':', '\\'});
  }
  File1->SetPath(Dir1->Path());
  {
    const QSignalBlocker quiet(Drive1);
    Drive1->SetDrive(Dir1->Path());
  }
  if (!opened.ok()) {
    platform::ShowError(
        message_box_,
        engine::FolderNotOpenedPrompt(*start, opened, Dir1->Path()),
        engine::kFolderNotOpenedTitle);
  }
}

Form1::~Form1() = default;

int Form1::Check1Value() const { return Check1->isChecked() ? 1 : 0; }

void Form1::SetNoticeLook(const engine::NoticeLook& look) {
  Label5->SetBold(look.bold);
  Label5->SetForeColor(look.fore_color);
}

void Form1::CreateControls() {
  Drive1 = new DriveListBox(file_system_, this);
  PlaceInTwips(Drive1, 120, 120, 3030, 315);
  Dir1 = new DirListBox(file_system_, this);
  PlaceInTwips(Dir1, 120, 480, 3000, 3015);
  File1 = new FileListBox(file_system_, this);
  PlaceInTwips(File1, 120, 3600, 3015, 3930);
  File1->setToolTip("Click on a file to add it to list");

  List1 = new ListBox(this);
  PlaceInTwips(List1, 3240, 120, 5175, 7440);
  List1->setToolTip("Click on a file to remove from list");

  Frame1 = new Frame("File Name Templete ", this);
  PlaceInTwips(Frame1, 8520, 0, 2655, 7575);
  CreateFrameControls();

  Label9 = new Label("Progress...", this);
  PlaceInTwips(Label9, 120, 7560, 2175, 255);
  pb = new ProgressBar(this);
  PlaceInTwips(pb, 120, 7800, 11055, 255);

  Label6 = new Label("", this);
  PlaceInTwips(Label6, 120, 8880, 3375, 255);
  Label7 = new Label("", this);
  PlaceInTwips(Label7, 3600, 8880, 3135, 255);
  Label8 = new Label("", this);
  PlaceInTwips(Label8, 6960, 8880, 2775, 255);
  // Below the client area is not enough: a tiling window manager resizes
  // any window, and a screen reader lists what is not hidden.
  for (Label* state_holder : {Label6, Label7, Label8}) state_holder->hide();
}

void Form1::CreateFrameControls() {
  Label1 = new Label("Name", Frame1);
  PlaceInTwips(Label1, 120, 240, 495, 255);
  Text1 = new QLineEdit(Frame1);
  PlaceInTwips(Text1, 720, 240, 1815, 285);
  Text1->setToolTip("Enter a base name for all files");

  Label2 = new Label("how many 0", Frame1);
  PlaceInTwips(Label2, 120, 600, 855, 255);
  Combo1 = new DropDown(Frame1);
  PlaceInTwips(Combo1, 1440, 600, 1095, 315);
  for (std::string_view choice : engine::kPaddingChoices) {
    Combo1->addItem(ToQt(choice));
  }
  Combo1->setCurrentIndex(-1);

  Label3 = new Label("Start From:", Frame1);
  PlaceInTwips(Label3, 120, 960, 855, 255);
  Text3 = new QLineEdit("1", Frame1);
  PlaceInTwips(Text3, 1440, 960, 1095, 285);
  Text3->setToolTip("File count shell begin with this #");

  Label4 = new Label("File Type", Frame1);
  PlaceInTwips(Label4, 120, 1320, 855, 255);
  Combo2 = new DropDown(Frame1);
  PlaceInTwips(Combo2, 1440, 1320, 1095, 315);
  Combo2->setEditable(true);
  Combo2->setInsertPolicy(QComboBox::NoInsert);
  Combo2->setCompleter(nullptr);
  for (std::string_view choice : engine::kExtensionChoices) {
    Combo2->addItem(ToQt(choice));
  }
  Combo2->setCurrentIndex(-1);
  Combo2->setEditText("");
  Combo2->setToolTip("Choose file type");

  Command1 = new QPushButton("Filter Files with same Extention", Frame1);
  PlaceInTwips(Command1, 120, 1680, 2415, 375);
  Check1 = new CheckBox("Rename and move to a new location/folder", Frame1);
  PlaceInTwips(Check1, 120, 2160, 2295, 495);
  Check1->setToolTip(
      "Check if you want the files re-located in another folder after "
      "renaming them");
  Command6 = new QPushButton("Change path", Frame1);
  PlaceInTwips(Command6, 120, 2640, 1095, 375);
  Command2 = new QPushButton("Restore", Frame1);
  PlaceInTwips(Command2, 1320, 2640, 1215, 375);

  Label5 = new Label(engine::kNoticeInPlace, Frame1);
  PlaceInTwips(Label5, 120, 3120, 2415, 2295);

  Command3 = new PictureButton(
      "Rename All",
      LoadPicture(":/pelloquin/rename_all.png", devicePixelRatio()), Frame1);
  PlaceInTwips(Command3, 120, 5520, 2415, 1095);
  Command3->setToolTip("Rename all files");
  Command4 = new PictureButton(
      "Clear List",
      LoadPicture(":/pelloquin/clear_list.png", devicePixelRatio()), Frame1);
  PlaceInTwips(Command4, 120, 6720, 1335, 735);
  Command4->setToolTip("Clear rename list");
  Command5 = new PictureButton(
      "Exit", LoadPicture(":/pelloquin/exit.png", devicePixelRatio()), Frame1);
  PlaceInTwips(Command5, 1560, 6720, 975, 735);
  Command5->setToolTip("Exit Pelloquin");
}

void Form1::NameControls() {
  const std::pair<QWidget*, const char*> names[] = {{Drive1, "Drive1"},
                                                    {Dir1, "Dir1"},
                                                    {File1, "File1"},
                                                    {List1, "List1"},
                                                    {Frame1, "Frame1"},
                                                    {Label1, "Label1"},
                                                    {Text1, "Text1"},
                                                    {Label2, "Label2"},
                                                    {Combo1, "Combo1"},
                                                    {Label3, "Label3"},
                                                    {Text3, "Text3"},
                                                    {Label4, "Label4"},
                                                    {Combo2, "Combo2"},
                                                    {Command1, "Command1"},
                                                    {Check1, "Check1"},
                                                    {Command6, "Command6"},
                                                    {Command2, "Command2"},
                                                    {Label5, "Label5"},
                                                    {Command3, "Command3"},
                                                    {Command4, "Command4"},
                                                    {Command5, "Command5"},
                                                    {Label9, "Label9"},
                                                    {pb, "pb"},
                                                    {Label6, "Label6"},
                                                    {Label7, "Label7"},
                                                    {Label8, "Label8"}};
  for (const auto& [control, name] : names) control->setObjectName(name);
}

void Form1::SetTabOrder() {
  const QWidget* const order[] = {
      Drive1,   Dir1,     File1,  List1,  Text1,  Text3,    Command1, Command3,
      Command4, Command5, Combo1, Combo2, Check1, Command6, Command2};
  for (size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(const_cast<QWidget*>(order[i]),
                const_cast<QWidget*>(order[i + 1]));
  }
}

void Form1::SetAccessibleNames() {
  // A caption beside a field names it.
  for (auto [caption, field] : {std::pair<Label*, QWidget*>{Label1, Text1},
                                {Label2, Combo1},
                                {Label3, Text3},
                                {Label4, Combo2}}) {
    caption->setBuddy(field);
    field->setAccessibleName(caption->text());
    field->setAccessibleDescription(field->toolTip());
  }
  // A control without caption is named after what it holds; its hint, if
  // any, describes it.
  const std::pair<QWidget*, const char*> holders[] = {{Drive1, "Drive"},
                                                      {Dir1, "Folder"},
                                                      {File1, "Files"},
                                                      {List1, "Rename list"},
                                                      {pb, "Progress..."}};
  for (auto [control, name] : holders) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(control->toolTip());
  }
  Frame1->setAccessibleName(Frame1->title());
  for (QAbstractButton* button : {static_cast<QAbstractButton*>(Command1),
                                  static_cast<QAbstractButton*>(Check1),
                                  static_cast<QAbstractButton*>(Command6),
                                  static_cast<QAbstractButton*>(Command2),
                                  static_cast<QAbstractButton*>(Command3),
                                  static_cast<QAbstractButton*>(Command4),
                                  static_cast<QAbstractButton*>(Command5)}) {
    button->setAccessibleName(button->text());
    button->setAccessibleDescription(button->toolTip());
  }
}

void Form1::ConnectHandlers() {
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
  connect(Drive1, &DriveListBox::Change, this, &Form1::Drive1_Change);
  connect(Dir1, &DirListBox::Change, this, &Form1::Dir1_Change);
  connect(Dir1, &DirListBox::OpenFailed, this,
          [this](const platform::Status& status) {
            platform::ShowError(message_box_,
                                engine::FolderNotOpenedPrompt(
                                    status.path(), status, Dir1->Path()),
                                engine::kFolderNotOpenedTitle);
          });
  connect(File1, &FileListBox::Click, this, &Form1::File1_Click);
  connect(List1, &ListBox::Click, this, &Form1::List1_Click);
  connect(Check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
  connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
}

void Form1::ShowFilesNotListed(const platform::Status& status) {
  const std::string& folder =
      status.path().empty() ? File1->Path() : status.path();
  platform::ShowError(message_box_,
                      engine::FilesNotListedPrompt(folder, status),
                      engine::kFilesNotListedTitle);
}

}  // namespace ui
