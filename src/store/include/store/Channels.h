#pragma once
// How a bill is paid, by its PreWay: '1' giro transfer, '2' counter slip, '3' no bill (nothing
// to pay); anything else is no channel this program writes.

#include <QString>

namespace kiv::store {

enum class Channel { Transfer, Counter, NoBill, Other };
inline constexpr int kChannels = 4;

// Blanks around the stored value are ignored.
Channel channelOf(const QString& preWay);
QString channelName(Channel channel);  // 轉帳, 臨櫃, 無帳單, 其他
// The channel's name; a PreWay of no known channel with the value as stored: 其他（7）.
QString wayName(const QString& preWay);

}  // namespace kiv::store
