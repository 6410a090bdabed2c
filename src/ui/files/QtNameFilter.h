#pragma once

#include <QString>

namespace kestrava {

// A file-type filter as the commands write it ("データファイル (*.dat)|*.DAT", pairs of
// description and mask) as a Qt name filter ("データファイル (*.dat *.DAT)").
QString QtNameFilter(const QString &filter);

} // namespace kestrava
