#pragma once

#include <QList>
#include <QString>

namespace kestrava {

// Highest channel number the A/B notation can name (H512). Ranges in a channel list may not
// reach beyond it, so that a typed range can never expand into billions of channels.
inline constexpr int MaxNotationChannel = 4096;

// 0-based index to its text: "1".."1024", or with ab "A001".."B512". Negative gives "".
QString ChannelText(int index, bool ab);

// Text (either notation, any letter case) to a 0-based index, or -1.
int ParseChannel(const QString &text);

// "1-3,A010" to the 1-based channels 1, 2, 3, 10, in order, duplicates kept.
// Throws EAbort (standard message) on any invalid item.
QList<int> ParseChannelList(const QString &text);

} // namespace kestrava
