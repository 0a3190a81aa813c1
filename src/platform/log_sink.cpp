#include "platform/log_sink.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include <QLoggingCategory>

namespace pimrose {
namespace {

QtMessageHandler previousHandler = nullptr;
QLoggingCategory::CategoryFilter previousFilter = nullptr;

std::mutex receiverMutex;
std::shared_ptr<const LogReceiver> currentReceiver;

// Per category of ours, the levels Qt's own rules enable (bit = message type): the lines the terminal
// would have printed had the sink not enabled info and above for the receiver's sake.
std::mutex rulesMutex;
std::map<std::string, unsigned, std::less<>> printedLevels;

thread_local bool insideReceiver = false;

bool isOurs(const char* category) {
  return category && std::strncmp(category, "pimrose.", 8) == 0;
}

unsigned levelBit(QtMsgType type) {
  return 1u << unsigned(type);
}

void filterCategory(QLoggingCategory* category) {
  if (previousFilter) previousFilter(category);
  if (!isOurs(category->categoryName())) return;
  unsigned levels = 0;
  for (QtMsgType type : {QtDebugMsg, QtInfoMsg, QtWarningMsg, QtCriticalMsg})
    if (category->isEnabled(type)) levels |= levelBit(type);
  {
    const std::lock_guard lock(rulesMutex);
    printedLevels[category->categoryName()] = levels;
  }
  for (QtMsgType type : {QtInfoMsg, QtWarningMsg, QtCriticalMsg}) category->setEnabled(type, true);
}

bool rulesPrint(QtMsgType type, const char* category) {
  if (!isOurs(category) || type == QtFatalMsg) return true;
  const std::lock_guard lock(rulesMutex);
  const auto found = printedLevels.find(std::string_view(category));
  return found == printedLevels.end() || (found->second & levelBit(type)) != 0;
}

bool forReceiver(QtMsgType type, const char* category) {
  return isOurs(category) && type != QtDebugMsg;
}

void handOver(const QString& message) {
  std::shared_ptr<const LogReceiver> receiver;
  {
    const std::lock_guard lock(receiverMutex);
    receiver = currentReceiver;
  }
  if (!receiver || insideReceiver) return;
  insideReceiver = true;
  (*receiver)(message);
  insideReceiver = false;
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (forReceiver(type, context.category)) handOver(message);
  if (previousHandler && rulesPrint(type, context.category)) previousHandler(type, context, message);
}

}  // namespace

void installLogSink() {
  static const bool installed = [] {
    previousHandler = qInstallMessageHandler(handleMessage);
    previousFilter = QLoggingCategory::installFilter(filterCategory);
    return true;
  }();
  (void)installed;
}

void setLogReceiver(LogReceiver receiver) {
  std::shared_ptr<const LogReceiver> previous =
      receiver ? std::make_shared<const LogReceiver>(std::move(receiver)) : nullptr;
  {
    const std::lock_guard lock(receiverMutex);
    currentReceiver.swap(previous);
  }
  // The old receiver goes here, outside the lock: whatever it owns may log as it is destroyed.
}

}  // namespace pimrose
