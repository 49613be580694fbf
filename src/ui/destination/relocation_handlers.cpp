// The main window's relocation handlers: the switch, "Change path" and
// "Restore".
#include "engine/location_notice.h"
#include "ui/destination/dialog3.h"
#include "ui/main/form1.h"

namespace ui {

void Form1::Check1_Click() {
  if (Check1Value() == 1) Dialog3::Open(*this);
}

void Form1::Command6_Click() {
  Dialog3::Open(*this);
  // However the dialog closed, the notice now asks for attention.
  SetNoticeLook(engine::kNoticeAlert);
}

void Form1::Command2_Click() {
  Label5->SetCaption(engine::kNoticeInPlace);
  SetNoticeLook(engine::kNoticePlain);
  Label8->SetCaption(File1->Path());
}

}  // namespace ui
