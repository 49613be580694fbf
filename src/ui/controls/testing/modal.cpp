#include "ui/controls/testing/modal.h"

#include <QApplication>
#include <QTimer>
#include <memory>

namespace ui::testing {
namespace {

constexpr int kAttempts = 500;
constexpr int kRetryMilliseconds = 10;

void Poll(std::shared_ptr<std::function<void(QWidget*)>> act, int attempts) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal->isVisible()) {
    (*act)(modal);
    return;
  }
  if (attempts <= 0) return;
  QTimer::singleShot(kRetryMilliseconds,
                     [act, attempts] { Poll(act, attempts - 1); });
}

}  // namespace

void WhenModalOpens(std::function<void(QWidget* modal)> act) {
  auto shared = std::make_shared<std::function<void(QWidget*)>>(std::move(act));
  QTimer::singleShot(0, [shared] { Poll(shared, kAttempts); });
}

int CountTopLevelWidgets() {
  return static_cast<int>(QApplication::topLevelWidgets().size());
}

}  // namespace ui::testing
