#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include "platform/worker_inbox.h"

// The viewer's pictures, decoded on a worker thread and handed to the UI thread as values.
namespace pimrose {

// One picture at the size one box needs. The generation is the viewer's: a result of an older
// generation belongs to a viewer that has since closed or reopened.
struct ViewerRequest {
  quint64 generation = 0;
  QString path;
  QSize box;  // device pixels the picture is shown in

  friend bool operator==(const ViewerRequest&, const ViewerRequest&) = default;
};

struct DecodedView {
  ViewerRequest request;
  QImage image;         // upright, scaled down to fit the box; null when the file does not decode
  QSize pictureSize;    // the upright pixel size from the header; 0 x 0 when unreadable
  bool moving = false;  // the image is the first frame of a moving picture that plays
};

using ViewerDecodeWork = std::function<DecodedView(const ViewerRequest&)>;

// `picture` scaled down to `target` when it is larger; the decoders stop at the first size that
// covers the target, the last step happens here, off the UI thread, so painting only copies pixels.
QImage fittedToTarget(const QImage& picture, QSize target);

// The real work: read the file, measure it, decode it upright at the smallest size that still
// fills the box (DCT scaling for JPEG, reduced rows for PNG), within the full-decode limit.
DecodedView decodeForViewer(const ViewerRequest& request);

class ViewerDecoder : public QObject {
  Q_OBJECT

 public:
  explicit ViewerDecoder(ViewerDecodeWork work = decodeForViewer, QObject* parent = nullptr);
  // Waiting requests are dropped; the one running finishes first.
  ~ViewerDecoder() override;

  // Queues a decode unless the same request waits or runs already; `first` puts it ahead of the
  // waiting ones (the picture to show goes before its neighbours).
  void request(const ViewerRequest& request, bool first);
  // Forgets every waiting request; the one running still arrives.
  void dropWaiting();

 Q_SIGNALS:
  void decoded(const pimrose::DecodedView& result);

 private:
  // The picture to show first, then its neighbours; the one decoding is known, so it is not asked twice.
  struct Line {
    using Job = ViewerRequest;
    std::deque<ViewerRequest> waiting;
    std::optional<ViewerRequest> running;
    std::optional<ViewerRequest> take();
    void finished(const ViewerRequest&) { running.reset(); }
    void stop() { waiting.clear(); }
  };

  ViewerDecodeWork work_;
  Worker<Line, DecodedView> worker_;
};

}  // namespace pimrose
