// Main-window benchmark: prints figures measured in this one run, each
// against the bare system or toolkit work it stands on. Not a test.
//
//   1. one more add to a rename list of 32,766 entries (and the refusal at
//      32,767), through Form1's own click handler;
//   2. "Rename All" over 32,767 files through Form1 against a bare
//      renameat2 loop over the same number of files;
//   3. start to shown window: Form1 against a bare window with one label,
//      each a fresh process (offscreen platform);
//   4. peak memory of a process showing Form1 on a 100,000-file folder with
//      32,767 entries on the rename list, and the time to list that folder.
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/posix/posix_file_system.h"
#include "ui/main/form1.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kListEntries = 32767;
constexpr int kBigFolderFiles = 100000;
constexpr int kStartRuns = 15;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Answers every box at once: OK, or Yes to a question.
class SilentMessageBox : public platform::MessageBox {
 public:
  int Show(std::string_view, int style, std::string_view) override {
    ++shown;
    return (style & 7) == platform::kButtonsYesNo ? platform::kAnswerYes
                                                  : platform::kAnswerOk;
  }
  int shown = 0;
};

std::string MakeTempFolder(const char* tag) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / (std::string(tag) + ".XXXXXX"))
          .string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  return pattern;
}

void MakeFiles(const std::string& folder, int count) {
  for (int i = 0; i < count; ++i) {
    const std::string path = folder + "/file" + std::to_string(i) + ".jpg";
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
    if (fd < 0) {
      std::perror(path.c_str());
      std::exit(1);
    }
    ::close(fd);
  }
}

// A file system whose only drive C: is `folder`, opened at its root.
std::unique_ptr<platform::posix::PosixFileSystem> DriveOver(
    const std::string& folder) {
  return std::make_unique<platform::posix::PosixFileSystem>(
      std::vector<platform::posix::DriveMapping>{{'C', folder, ""}});
}

void WaitUntilExposed(QWidget& window) {
  window.show();
  while (window.windowHandle() == nullptr ||
         !window.windowHandle()->isExposed()) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  QApplication::processEvents();
}

// Fills the rename list with the first `count` files the file list shows,
// each added by the file list's own click.
void ClickFilesOntoTheList(ui::Form1& form, int count) {
  for (int row = 0; row < count; ++row) form.File1->ClickItem(row);
}

void BenchmarkAdd() {
  const std::string folder = MakeTempFolder("pelloquin-add");
  MakeFiles(folder, 2);
  auto file_system = DriveOver(folder);
  SilentMessageBox message_box;
  ui::Form1 form(*file_system, message_box);
  WaitUntilExposed(form);
  for (int i = 0; i < kListEntries - 1; ++i) {
    form.List1->AddItem("C:\\elsewhere\\entry" + std::to_string(i) + ".jpg");
  }

  constexpr int kRounds = 200;
  std::vector<double> adds, refusals;
  for (int round = 0; round < kRounds; ++round) {
    Clock::time_point start = Clock::now();
    form.File1->ClickItem(0);  // the 32,767th entry
    adds.push_back(MillisecondsSince(start));
    start = Clock::now();
    form.File1->ClickItem(1);  // refused: the list is full
    refusals.push_back(MillisecondsSince(start));
    form.List1->RemoveItem(kListEntries - 1);
  }
  std::printf("add at %d entries:      median %.4f ms (target < 1 ms)\n",
              kListEntries - 1, Median(adds));
  std::printf("refusal at %d entries:  median %.4f ms\n", kListEntries,
              Median(refusals));
  std::filesystem::remove_all(folder);
}

double BareRenameLoop(const std::string& folder, int count) {
  const int dir = ::open(folder.c_str(), O_DIRECTORY | O_RDONLY);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) {
    const std::string from = "file" + std::to_string(i) + ".jpg";
    const std::string to = "Trip" + std::to_string(i + 1) + ".jpg";
    if (::renameat2(dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE) !=
        0) {
      std::perror("renameat2");
      std::exit(1);
    }
  }
  const double elapsed = MillisecondsSince(start);
  ::close(dir);
  return elapsed;
}

// The platform's RenameFile alone, file by file, as a run calls it.
double PlatformRenameLoop(const std::string& folder, int count) {
  auto file_system = DriveOver(folder);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) {
    const std::string from = "C:\\file" + std::to_string(i) + ".jpg";
    const std::string to = "C:\\Trip" + std::to_string(i + 1) + ".jpg";
    if (!file_system->RenameFile(from, to).ok()) {
      std::fprintf(stderr, "RenameFile %s failed\n", from.c_str());
      std::exit(1);
    }
  }
  return MillisecondsSince(start);
}

double RenameThroughForm1(const std::string& folder, int count) {
  auto file_system = DriveOver(folder);
  SilentMessageBox message_box;
  ui::Form1 form(*file_system, message_box);
  WaitUntilExposed(form);
  ClickFilesOntoTheList(form, count);
  form.Text1->setText("Trip");
  form.Combo2->setEditText("jpg");
  QApplication::processEvents();
  const Clock::time_point start = Clock::now();
  form.Command3_Click();
  const double elapsed = MillisecondsSince(start);
  if (form.List1->ListCount() != 0 || message_box.shown != 1) {
    std::fprintf(stderr, "the run through Form1 did not complete\n");
    std::exit(1);
  }
  return elapsed;
}

void BenchmarkRenameAll() {
  const std::string bare_folder = MakeTempFolder("pelloquin-bare");
  const std::string platform_folder = MakeTempFolder("pelloquin-platform");
  const std::string form_folder = MakeTempFolder("pelloquin-form");
  MakeFiles(bare_folder, kListEntries);
  MakeFiles(platform_folder, kListEntries);
  MakeFiles(form_folder, kListEntries);
  ::sync();
  const double form = RenameThroughForm1(form_folder, kListEntries);
  const double platform = PlatformRenameLoop(platform_folder, kListEntries);
  const double bare = BareRenameLoop(bare_folder, kListEntries);
  std::printf(
      "rename %d files: Form1 %.1f ms, bare renameat2 %.1f ms, "
      "ratio %.2f (target <= 1.5)\n",
      kListEntries, form, bare, form / bare);
  std::printf(
      "  of which the platform's RenameFile loop alone: %.1f ms, "
      "ratio %.2f to bare\n",
      platform, platform / bare);
  std::filesystem::remove_all(bare_folder);
  std::filesystem::remove_all(platform_folder);
  std::filesystem::remove_all(form_folder);
}

// Runs this program again with `mode` and returns the wall time from the
// spawn to its exit, in milliseconds.
double TimeChild(const char* self, const char* mode) {
  char* argv[] = {const_cast<char*>(self), const_cast<char*>(mode), nullptr};
  const Clock::time_point start = Clock::now();
  pid_t pid;
  if (::posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double elapsed = MillisecondsSince(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s %s failed\n", self, mode);
    std::exit(1);
  }
  return elapsed;
}

void BenchmarkStart(const char* self) {
  std::vector<double> form, label;
  TimeChild(self, "--show-label");  // warm the file cache for both
  TimeChild(self, "--show-form1");
  for (int run = 0; run < kStartRuns; ++run) {
    label.push_back(TimeChild(self, "--show-label"));
    form.push_back(TimeChild(self, "--show-form1"));
  }
  std::printf(
      "start to shown window (median of %d): Form1 %.1f ms, "
      "one-label window %.1f ms, ratio %.2f (target <= 1.5)\n",
      kStartRuns, Median(form), Median(label), Median(form) / Median(label));
}

void BenchmarkMemory(const char* self) {
  const std::string folder = MakeTempFolder("pelloquin-big");
  MakeFiles(folder, kBigFolderFiles);
  char* argv[] = {const_cast<char*>(self), const_cast<char*>("--memory"),
                  const_cast<char*>(folder.c_str()), nullptr};
  pid_t pid;
  if (::posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  std::printf(
      "peak memory, Form1 on %d files with %d entries: %.1f MB "
      "(target < 150 MB)\n",
      kBigFolderFiles, kListEntries, usage.ru_maxrss / 1024.0);
  std::filesystem::remove_all(folder);
}

// Child modes: each shows one window and exits once it is on screen.
int ShowLabel(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label("Pelloquin");
  WaitUntilExposed(label);
  return 0;
}

int ShowForm1(int argc, char** argv) {
  QApplication app(argc, argv);
  std::unique_ptr<platform::FileSystem> file_system =
      platform::DefaultFileSystem();
  SilentMessageBox message_box;
  ui::Form1 form(*file_system, message_box);
  WaitUntilExposed(form);
  return 0;
}

int ShowBigFolder(int argc, char** argv, const std::string& folder) {
  QApplication app(argc, argv);
  auto file_system = DriveOver(folder);
  SilentMessageBox message_box;
  const Clock::time_point start = Clock::now();
  ui::Form1 form(*file_system, message_box);
  const double construct = MillisecondsSince(start);
  WaitUntilExposed(form);
  if (form.File1->ListCount() != kBigFolderFiles) return 1;
  const Clock::time_point relist = Clock::now();
  form.File1->Refresh();
  QApplication::processEvents();
  const double refresh = MillisecondsSince(relist);
  std::printf(
      "listing %d files: window with the list %.1f ms, "
      "re-read and repaint %.1f ms\n",
      kBigFolderFiles, construct, refresh);
  ClickFilesOntoTheList(form, kListEntries);
  QApplication::processEvents();
  return form.List1->ListCount() == kListEntries ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--show-label") return ShowLabel(argc, argv);
  if (mode == "--show-form1") return ShowForm1(argc, argv);
  if (mode == "--memory" && argc > 2) return ShowBigFolder(argc, argv, argv[2]);

  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  {
    QApplication app(argc, argv);
    if (mode != "--rename-only") BenchmarkAdd();
    BenchmarkRenameAll();
  }
  if (mode == "--rename-only") return 0;
  BenchmarkStart(argv[0]);
  BenchmarkMemory(argv[0]);
  return 0;
}
