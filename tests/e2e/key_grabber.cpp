// Another X client for the end-to-end tests: grabs F5 (no modifier) on the root window and prints
// "grabbed=1" or "grabbed=0" (the server refused: someone else holds the key), then
// "pressed" for each F5 it receives. Runs until killed.
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

namespace {

class F5Watcher : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS) return false;
    std::printf("pressed\n");
    std::fflush(stdout);
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
  if (!x11) return 2;
  xcb_connection_t* connection = x11->connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, XK_F5);
  bool grabbed = codes && *codes != XCB_NO_SYMBOL;
  for (const xcb_keycode_t* code = codes; code && *code != XCB_NO_SYMBOL; ++code) {
    const auto cookie =
        xcb_grab_key_checked(connection, 0, root, 0, *code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
      grabbed = false;
      std::free(error);
    }
  }
  std::free(codes);
  xcb_key_symbols_free(symbols);
  F5Watcher watcher;
  app.installNativeEventFilter(&watcher);
  std::printf("grabbed=%d\n", grabbed ? 1 : 0);
  std::fflush(stdout);
  return app.exec();
}
