#pragma once

#include <QString>

namespace pimrose {

// A locale's time format as the time picture the time-format fact answers with: h hour on a 12-hour
// clock, H on a 24-hour clock (hh, HH with a leading zero), mm minute, ss second, tt the AM/PM marker,
// text in single quotes copied as it is. A picture holds no time zone and no milliseconds, so those
// fields of the format are left out together with the spaces and brackets around them.
// ‹h:mm:ss AP t› gives ‹h:mm:ss tt›, ‹t HH:mm:ss› gives ‹HH:mm:ss›, ‹H:mm:ss (t)› gives ‹H:mm:ss›.
QString timePicture(const QString& format);

}  // namespace pimrose
