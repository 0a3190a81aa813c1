#pragma once

// The engine's windows: a borderless, skinned top-level widget built from a WindowDefinition.
//
// Usage:
//   std::unique_ptr<ui::Window> main = ui::loadWindow(ui::mainWindowDefinition());
//   const auto controls = ui::resolveControls<ui::MainWindowControls>(*main);
//   QObject::connect(controls.编辑框_搜索, &ui::EditBox::keyReleased, handler, &Handler::onSearchKey);
//   controls.时钟_拖放路径->setInterval(50);
//   ui::applySkin(*main, 1);   // 0 = "黑色", 1 = "白色"
//   main->show();
//
// Rules the program can rely on:
// - Program code reaches controls through its window's typed struct (ui/*_controls.h), resolved
//   once after loading; a table that lacks a member's control, or gives it another class, stops
//   the program right there. control<T>(name) and controlsOf<T>() serve code that walks controls
//   by class and name (settings, tests).
// - Controls are created in table order, which is also their stacking order among siblings. The
//   table rectangle is the load-time geometry; the window's anchor rules re-place controls when
//   the window changes size (controls without a rule are left where the program puts them).
// - Events are Qt signals raised by user actions only. Setting a property from code (checked,
//   position, current item, page, text) never raises the matching event.
// - Everything runs on the UI thread, except MessageLabel::post/send, which any thread may call.

#include <functional>
#include <memory>
#include <vector>

#include <QHash>
#include <QPointer>
#include <QWidget>

#include "ui/control.h"
#include "ui/skin.h"
#include "ui/window_definition.h"

namespace pimrose::ui {

class WindowSkin;
class CaptionButtons;

class Window : public QWidget {
  Q_OBJECT

 public:
  explicit Window(const WindowDefinition& definition);
  ~Window() override;

  const WindowDefinition& definition() const { return definition_; }
  const QString& name() const { return definition_.name; }

  // The control of that name and class; stops the program when there is none.
  template <class T>
  T* control(const QString& name) const {
    T* typed = qobject_cast<T*>(findControl(name));
    if (!typed) missingControl(name, T::staticMetaObject.className());
    return typed;
  }
  // The control of that name, or nullptr.
  QObject* findControl(const QString& name) const;

  // Every control of a class, in table order (settings are saved in this order).
  template <class T>
  std::vector<T*> controlsOf() const {
    std::vector<T*> found;
    for (QObject* object : order_)
      if (T* typed = qobject_cast<T*>(object)) found.push_back(typed);
    return found;
  }
  const std::vector<QObject*>& controls() const { return order_; }

  // A new control of the same class and table row as `name`, beside it under the same parent;
  // it has no name lookup of its own and is owned by that parent (destroy it with deleteLater).
  Control* copyControl(const QString& name);

  // The skin control (`窗口EX1`); nullptr for a table without one.
  WindowSkin* skin() const { return skin_; }

  int skinIndex() const { return skinIndex_; }
  const SkinColours& colours() const { return skinColours(skinIndex_); }
  void setSkinIndex(int index);

  // Lets the window manager move or size the window with the pointer (borderless windows).
  void beginSystemMove();
  void beginSystemResize(Qt::Edges edges = Qt::BottomEdge | Qt::RightEdge);

  // Re-applies the anchor rules for the current size.
  void applyAnchors();
  // While set, `control` covers the whole window instead of following its anchor rule (a panel
  // shown full screen); nullptr gives it its rule back. The anchors are applied at once.
  void setCoveringControl(Control* control);
  Control* coveringControl() const { return covering_; }

  // Decides whether a close request (the close button, Alt+F4, close()) closes the window; without
  // a handler it does. A handler that answers false does what closing means for it instead.
  void setCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }

 Q_SIGNALS:
  void sizeChanged();
  void leftPressed();
  void doubleClicked();
  void rightPressed();
  void aboutToBeDestroyed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  [[noreturn]] static void missingControl(const QString& name, const char* className);
  void createControls();
  void parentControls();
  QWidget* hostFor(const ControlDefinition& row) const;
  QSize clientSizeOf(const QString& controlName) const;
  void applySizeLimits();
  void paintCaption(class QPainter& painter);

  WindowDefinition definition_;
  QHash<QString, QObject*> byName_;
  std::vector<QObject*> order_;
  WindowSkin* skin_ = nullptr;
  CaptionButtons* captionButtons_ = nullptr;
  QPointer<Control> covering_;
  int skinIndex_ = 0;
  bool skinApplied_ = false;
  std::function<bool()> closeHandler_;
};

// Builds a window from its table; hidden until the program shows it.
std::unique_ptr<Window> loadWindow(const WindowDefinition& definition);

// Switches a window to skin 0 ("黑色") or 1 ("白色"); another index changes nothing (false).
bool applySkin(Window& window, int index);

}  // namespace pimrose::ui
