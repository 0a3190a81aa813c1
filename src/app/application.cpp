#include "app/application.h"

#include <QApplication>

#include "app/program.h"
#include "app/stall_watch.h"
#include "pimrose_version.h"
#include "platform/clipboard_hand_over.h"
#include "platform/log_sink.h"
#include "platform/warm_up.h"
#include "ui/image_bytes.h"

namespace pimrose {

int runApplication(int argc, char* argv[]) {
  // The logo is decoded by the codecs' own PNG reader, which needs no application object.
  const WarmUp warmUp({loadFontConfiguration, [] { ui::decodeImageFile(ui::kLogo); }});
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pimrose"));
  QApplication::setApplicationVersion(QLatin1String(kPimroseVersion));
  // The program lives on in the notification area when its windows are hidden.
  QApplication::setQuitOnLastWindowClosed(false);
  installLogSink();

  int exitCode = 0;
  {
    Program program(systemServices());
    if (program.StartUp() == Program::Start::AnotherInstanceRuns) return 0;
    StallWatch::startIfLogged(&app);
    exitCode = QApplication::exec();
    // The exit steps have run (settings saved, instance name and tray icon let go). A worker stuck in
    // a call to a hung share would hold the process, and a restart waiting for the name, forever; the
    // windows go as usual, the workers end with the process.
    program.leaveWorkersToTheEnd();
  }
  // With the windows gone, a picture on the clipboard goes to a clipboard manager, if one runs:
  // a second at most, where Qt would wait five for a manager that does not answer.
  handOverClipboard(std::chrono::seconds(1));
  return exitCode;
}

}  // namespace pimrose
