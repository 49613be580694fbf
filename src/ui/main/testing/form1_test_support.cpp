#include "ui/main/testing/form1_test_support.h"

namespace ui::testing {

void Form1Test::SetUp() {
  Form1Driver::SetUp();
  file_system_ =
      std::make_unique<platform::posix::PosixFileSystem>(drives_.mappings());
}

Form1& Form1Test::Open() { return OpenOver(*file_system_); }

}  // namespace ui::testing
