#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;

namespace pimrose::ui {

// A skinned pop-up menu built from item titles. Item identifiers are the items' positions
// (0-based, in insertion order).
class Menu : public QObject {
  Q_OBJECT

 public:
  // skinIndex: 0 "黑色", 1 "白色" (others: dark).
  explicit Menu(int skinIndex, QObject* parent = nullptr);
  ~Menu() override;

  // Appends an item at least `width` pixels wide; every item of the menu is as high as the highest
  // asked for. The text colour is the item's own, normal and highlighted; an invalid colour means
  // the skin's. Answers the item's id.
  int insertItem(const QString& title, int width = 80, int height = 24, QColor textColour = {});
  // The face of every item.
  void setItemFont(const QFont& font);
  int itemCount() const;
  QString itemTitle(int id) const;  // empty for an unknown id

  // Shows the menu at a screen position and waits for the choice; nothing when dismissed. The
  // answer replaces itemChosen for this pop-up. No caller in the program: its menus take the choice
  // later (popUpLater).
  std::optional<int> popUp(QPoint globalPos);
  // Shows the menu and returns at once; the choice arrives as itemChosen.
  void popUpLater(QPoint globalPos);
  bool isShown() const;
  // Chooses an item as if the user had clicked it (for an open menu).
  void choose(int id);
  void dismiss();

  // The menu widget itself, for placing and painting checks.
  QMenu* widget() const { return menu_; }

 Q_SIGNALS:
  void itemChosen(int id);

 private:
  QMenu* menu_;
  QString skinSheet_;
  int itemHeight_ = 0;
  bool waiting_ = false;
  std::optional<int> chosen_;
};

}  // namespace pimrose::ui
