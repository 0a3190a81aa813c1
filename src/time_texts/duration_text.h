#pragma once

#include <QString>

namespace pimrose {

// Puts "0" characters in front of `text` until it is `width` characters long; a text already that
// long comes back unchanged. The texts padded here are digits.
QString ZeroPad(const QString& text, int width);

// A number of seconds as days, hours, minutes and seconds laid into a pattern. In the pattern the
// lower-case letters d, h, m and s stand for the four values; for each, in that order, only its last
// occurrence is replaced (so "hh:mm" gives ‹h5:m30›), and a letter that does not occur leaves its
// value out. An empty pattern means "d天h小时m分s秒". With `zeroPad`, each value is padded to two digits.
QString DurationText(qint32 seconds, const QString& pattern = {}, bool zeroPad = false);

}  // namespace pimrose
