// What assistive technology reads of every control of the three windows:
// its role, name, description and value, read in-process through
// QAccessible as a screen reader's bridge reads them.
#include <QAccessible>
#include <QAccessibleInterface>

#include "ui/destination/destination_test_support.h"

namespace ui::testing {
namespace {

struct Expected {
  QWidget* control;
  QAccessible::Role role;
  QString name;
  QString description;
};

QAccessibleInterface* Accessible(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}

void ExpectRead(const std::vector<Expected>& controls) {
  for (const Expected& e : controls) {
    QAccessibleInterface* read = Accessible(e.control);
    ASSERT_NE(read, nullptr) << e.name.toStdString();
    EXPECT_EQ(read->role(), e.role) << e.name.toStdString();
    EXPECT_EQ(read->text(QAccessible::Name), e.name);
    EXPECT_EQ(read->text(QAccessible::Description), e.description)
        << e.name.toStdString();
  }
}

// Every control assistive technology reaches from the window, depth first,
// with the column headers and cells of lists.
void Reachable(QAccessibleInterface* from,
               QList<QAccessibleInterface*>& found) {
  for (int i = 0; i < from->childCount(); ++i) {
    QAccessibleInterface* child = from->child(i);
    if (child == nullptr) continue;
    found << child;
    QObject* object = child->object();
    if (object != nullptr && object->isWidgetType()) Reachable(child, found);
  }
}

using AccessibilityTest = DestinationTest;

TEST_F(AccessibilityTest, MainWindowControlsHaveTheirRolesNamesAndHints) {
  Form1& f = *form_;
  using A = QAccessible;
  ExpectRead({
      {&f, A::Window, f.windowTitle(), ""},
      {f.Drive1, A::ComboBox, "Drive", ""},
      {f.Dir1, A::Tree, "Folder", ""},
      {f.File1, A::List, "Files", "Click on a file to add it to list"},
      {f.List1, A::List, "Rename list", "Click on a file to remove from list"},
      {f.Frame1, A::Grouping, "File Name Templete ", ""},
      {f.Label1, A::StaticText, "Name", ""},
      {f.Text1, A::EditableText, "Name", "Enter a base name for all files"},
      {f.Label2, A::StaticText, "how many 0", ""},
      {f.Combo1, A::ComboBox, "how many 0", ""},
      {f.Label3, A::StaticText, "Start From:", ""},
      {f.Text3, A::EditableText,
       "Start From:", "File count shell begin with this #"},
      {f.Label4, A::StaticText, "File Type", ""},
      {f.Combo2, A::ComboBox, "File Type", "Choose file type"},
      {f.Command1, A::Button, "Filter Files with same Extention", ""},
      {f.Check1, A::CheckBox, "Rename and move to a new location/folder",
       "Check if you want the files re-located in another folder after "
       "renaming them"},
      {f.Command6, A::Button, "Change path", ""},
      {f.Command2, A::Button, "Restore", ""},
      {f.Label5, A::StaticText,
       "Files will be renamed and located at: (original path)", ""},
      {f.Command3, A::Button, "Rename All", "Rename all files"},
      {f.Command4, A::Button, "Clear List", "Clear rename list"},
      {f.Command5, A::Button, "Exit", "Exit Pelloquin"},
      {f.Label9, A::StaticText, "Progress...", ""},
      {f.pb, A::ProgressBar, "Progress...", ""},
  });
  EXPECT_TRUE(f.windowTitle().startsWith("Pelloquin"));
}

TEST_F(AccessibilityTest, DropDownsGiveTheirTextAsTheirValue) {
  form_->Combo1->setCurrentIndex(2);
  EXPECT_EQ(Accessible(form_->Drive1)->text(QAccessible::Value), "c:");
  EXPECT_EQ(Accessible(form_->Combo1)->text(QAccessible::Value), "00");
  EXPECT_EQ(Accessible(form_->Combo1)->text(QAccessible::Name), "how many 0")
      << "the name stays when an item is picked";
}

TEST_F(AccessibilityTest, CaptionsAreTiedToTheFieldsTheyName) {
  const std::pair<Label*, QWidget*> pairs[] = {{form_->Label1, form_->Text1},
                                               {form_->Label2, form_->Combo1},
                                               {form_->Label3, form_->Text3},
                                               {form_->Label4, form_->Combo2}};
  for (auto [caption, field] : pairs) {
    EXPECT_EQ(caption->buddy(), field) << caption->text().toStdString();
    bool labelled = false;
    for (const auto& [other, relation] :
         Accessible(field)->relations(QAccessible::Label)) {
      labelled |= other->object() == caption;
    }
    EXPECT_TRUE(labelled) << caption->text().toStdString();
  }
}

TEST_F(AccessibilityTest, ProgressBarReportsTheValueTheRunSet) {
  QAccessibleValueInterface* value = Accessible(form_->pb)->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->currentValue().toDouble(), 0.0);
  form_->SetProgress(37.5f);
  EXPECT_EQ(value->currentValue().toDouble(), 37.5);
  form_->SetProgress(100.0f);
  EXPECT_EQ(value->currentValue().toDouble(), 100.0);
  EXPECT_EQ(Accessible(form_->pb)->text(QAccessible::Value), "100");
  EXPECT_EQ(value->maximumValue().toInt(), 100);
}

TEST_F(AccessibilityTest, HiddenStateHoldersAreHiddenAndNoHeaderIsUnnamed) {
  QList<QAccessibleInterface*> reachable;
  Reachable(Accessible(form_.get()), reachable);
  QList<QObject*> objects;
  for (QAccessibleInterface* read : reachable) objects << read->object();
  EXPECT_TRUE(objects.contains(form_->Label5));
  for (Label* hidden : {form_->Label6, form_->Label7, form_->Label8}) {
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_TRUE(Accessible(hidden)->state().invisible)
        << hidden->objectName().toStdString();
  }
  for (QAccessibleInterface* read : reachable) {
    if (read->role() != QAccessible::ColumnHeader) continue;
    EXPECT_NE(read->text(QAccessible::Name), "1") << "an unnamed column";
  }
}

TEST_F(AccessibilityTest, FolderListsNameTheirColumn) {
  QAccessibleTableInterface* table = Accessible(form_->Dir1)->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->columnDescription(0), "Folders");
}

TEST_F(AccessibilityTest, DialogControlsHaveTheirRolesNamesAndHints) {
  using A = QAccessible;
  WhenOpens<Dialog3>([&](Dialog3& d) {
    ExpectRead({
        {&d, A::Dialog, "Select a new path", ""},
        {d.OKButton, A::Button, "OK", ""},
        {d.CancelButton, A::Button, "Cancel", ""},
        {d.Drive1, A::ComboBox, "Drive", ""},
        {d.Dir1, A::Tree, "Folder", ""},
        {d.Command1, A::Button, "Create new folder", ""},
    });
    WhenOpens<NEWDIR>([&](NEWDIR& n) {
      ExpectRead({
          {&n, A::Dialog, "Enter a Directory Name ", ""},
          {n.NewDirectory_UIText, A::EditableText, "New folder name",
           "Enter a name without the following characters  \\ / : * ? \" < > "
           "| &  ; , ^ ( )"},
          {n.Create_UIButton, A::Button, "Create Dir", ""},
          {n.Cancel_UIButton, A::Button, "Cancel", ""},
          {n.Current_Directory_UILabel, A::StaticText, "C:\\Photos\\", ""},
      });
      n.Cancel_UIButton->click();
    });
    d.Command1->click();
    PressCancel(d);
  });
  form_->Command6->click();
  EXPECT_EQ(dialogs_seen_, 2);
}

}  // namespace
}  // namespace ui::testing
