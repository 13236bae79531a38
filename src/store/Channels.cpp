#include "store/Channels.h"

#include <QCoreApplication>

#include "database/Values.h"
#include "screen/Texts.h"

using namespace kiv::database;

namespace kiv::store {

namespace {}  // namespace

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
            return Texts::tr("transfer");
        case Channel::Counter:
            return Texts::tr("counter");
        case Channel::NoBill:
            return Texts::tr("no-bill record");
        case Channel::Other:
            break;
    }
    return Texts::tr("other");
}

QString wayName(const QString& preWay) {
    const Channel channel = channelOf(preWay);
    return channel == Channel::Other ? Texts::tr("%1 (%2)").arg(channelName(channel), preWay)
                                     : channelName(channel);
}

}  // namespace kiv::store
