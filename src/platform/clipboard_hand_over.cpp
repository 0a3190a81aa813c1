#include "platform/clipboard_hand_over.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/platform_log.h"

#if PIMROSE_HAVE_XCB

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace pimrose {
namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

xcb_window_t selectionOwner(xcb_connection_t* connection, xcb_atom_t selection) {
  xcb_get_selection_owner_reply_t* reply =
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
  const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
  std::free(reply);
  return owner;
}

// The manager's answer, a SelectionNotify to the window that asked.
class AnswerWatch : public QAbstractNativeEventFilter {
 public:
  explicit AnswerWatch(xcb_window_t asker) : asker_(asker) { qGuiApp->installNativeEventFilter(this); }
  ~AnswerWatch() override { qGuiApp->removeNativeEventFilter(this); }
  AnswerWatch(const AnswerWatch&) = delete;
  AnswerWatch& operator=(const AnswerWatch&) = delete;

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) return false;
    const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    if (notify->requestor != asker_) return false;
    answer_ = notify->property != XCB_ATOM_NONE ? ClipboardHandOver::Saved : ClipboardHandOver::Refused;
    return true;
  }
  ClipboardHandOver answer() const { return answer_; }

 private:
  xcb_window_t asker_;
  ClipboardHandOver answer_ = ClipboardHandOver::NoAnswer;
};

// Asks from a window of its own, so that the answer cannot be taken for one of Qt's.
ClipboardHandOver askManager(xcb_connection_t* connection, std::chrono::milliseconds limit) {
  const xcb_atom_t manager = internAtom(connection, "CLIPBOARD_MANAGER");
  if (manager == XCB_ATOM_NONE || selectionOwner(connection, manager) == XCB_NONE)
    return ClipboardHandOver::NoManager;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_window_t asker = xcb_generate_id(connection);
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, asker, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
  ClipboardHandOver answer = ClipboardHandOver::NoAnswer;
  {
    const AnswerWatch watch(asker);
    xcb_convert_selection(connection, asker, manager, internAtom(connection, "SAVE_TARGETS"),
                          internAtom(connection, "PIMROSE_CLIPBOARD_SAVED"), XCB_CURRENT_TIME);
    xcb_flush(connection);
    // Events are served by hand: an event loop would not run at all once the program has been
    // told to quit. The timer wakes the last wait at the deadline.
    const QDeadlineTimer deadline(limit);
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(limit);
    while (watch.answer() == ClipboardHandOver::NoAnswer && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    answer = watch.answer();
  }
  xcb_destroy_window(connection, asker);
  xcb_flush(connection);
  return answer;
}

ClipboardHandOver handOverOnX11(QClipboard& clipboard, std::chrono::milliseconds limit) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return ClipboardHandOver::NoManager;
  const ClipboardHandOver answer = askManager(x11->connection(), limit);
  // Whatever the manager said, Qt must not ask it again and wait: the program lets go, and a
  // manager holding a copy serves it from now on.
  if (answer != ClipboardHandOver::NoManager && clipboard.ownsClipboard()) clipboard.clear();
  return answer;
}

}  // namespace
}  // namespace pimrose

#endif

namespace pimrose {

ClipboardHandOver handOverClipboard(std::chrono::milliseconds limit) {
  QClipboard* clipboard = qGuiApp ? QGuiApplication::clipboard() : nullptr;
  if (!clipboard || !clipboard->ownsClipboard()) return ClipboardHandOver::NothingHeld;
#if PIMROSE_HAVE_XCB
  const ClipboardHandOver answer = handOverOnX11(*clipboard, limit);
#else
  const ClipboardHandOver answer = ClipboardHandOver::NoManager;
#endif
  switch (answer) {
    case ClipboardHandOver::Saved:
      qCInfo(lcPlatform) << "the clipboard manager saved the clipboard";
      break;
    case ClipboardHandOver::Refused:
      qCInfo(lcPlatform) << "the clipboard manager did not save the clipboard";
      break;
    case ClipboardHandOver::NoAnswer:
      qCInfo(lcPlatform) << "the clipboard manager did not answer within" << limit.count()
                         << "ms; the program lets go of the clipboard";
      break;
    default:
      break;
  }
  return answer;
}

}  // namespace pimrose
