#include "store/Channels.h"

#include "database/Values.h"

using namespace kiv::database;

namespace kiv::store {

Channel channelOf(const QString& preWay) {
    const QString w = trimBlanks(preWay);
    return w == QLatin1String("1")   ? Channel::Transfer
           : w == QLatin1String("2") ? Channel::Counter
           : w == QLatin1String("3") ? Channel::NoBill
                                     : Channel::Other;
}

QString channelName(Channel channel) {
    switch (channel) {
        case Channel::Transfer:
            return QStringLiteral("轉帳");
        case Channel::Counter:
            return QStringLiteral("臨櫃");
        case Channel::NoBill:
            return QStringLiteral("無帳單");
        case Channel::Other:
            break;
    }
    return QStringLiteral("其他");
}

QString wayName(const QString& preWay) {
    const Channel channel = channelOf(preWay);
    return channel == Channel::Other ? channelName(channel) + "（" + preWay + "）"
                                     : channelName(channel);
}

}  // namespace kiv::store
