#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace pimrose {

// How control states are written as ini values, and read back. Pure text functions.

// Check boxes and radio buttons: "真" checked, "假" not. Reading: empty means "leave the box as it
// is", "假" unchecked, any other text (also "1") checked.
QString encodeCheckState(bool checked);
std::optional<bool> decodeCheckState(const QString& value);

// Edit boxes: a line break becomes "><br><" and a double quote "#引号", so the value is one line
// without quotes, as files of earlier versions hold them. To let any text come back unchanged, a
// text that itself contains "><br><" or "#引号" gets a double quote put in after its '>' or '#'
// (">\"<br>\"<", "#\"引号"): quotes never appear otherwise, so reading drops every quote left after
// the two replacements, and files without quotes read exactly as before. A lone CR or LF is a line
// break too and comes back as CR LF. Reading an empty value gives nothing (the box keeps its text).
QString encodeEditText(const QString& text);
std::optional<QString> decodeEditText(const QString& value);

// A drop-down list: every item as "title<|>value<||>", then "current index<|>current text".
struct DropDownState {
  struct Item {
    QString title;
    int value = 0;
    bool operator==(const Item&) const = default;
  };
  QList<Item> items;
  int currentIndex = -1;
  QString currentText;
  bool operator==(const DropDownState&) const = default;
};
// Quotes in titles are escaped as in edit boxes, and a "<|" in a title or the current text gets a
// quote put in ("<\"|") so that it cannot be taken for a separator; line breaks become spaces.
QString encodeDropDown(const DropDownState& state);
// Empty: nothing (the list stays). Otherwise every piece but the last is an item, the last one the
// current index and text; a value without "<||>" is that last piece alone, an empty list.
std::optional<DropDownState> decodeDropDown(const QString& value);

}  // namespace pimrose
