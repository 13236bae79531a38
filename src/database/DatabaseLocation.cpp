#include "database/DatabaseLocation.h"

namespace kiv::database {

ServerSettings ServerSettings::resolved() const {
    // What is unset is what libpq takes from the environment, or its own default.
    const auto orEnvironment = [](const QString& set, const char* variable, const char* fallback) {
        if (!set.isEmpty()) {
            return set;
        }
        const QString env = qEnvironmentVariable(variable);
        return env.isEmpty() ? QString::fromLatin1(fallback) : env;
    };
    ServerSettings r;
    r.host = orEnvironment(host, "PGHOST", "localhost");
    r.port = orEnvironment(port > 0 ? QString::number(port) : QString(), "PGPORT", "5432").toInt();
    r.user = orEnvironment(user, "PGUSER", qgetenv("USER").constData());
    r.database = orEnvironment(database, "PGDATABASE", r.user.toUtf8().constData());
    return r;
}

QString ServerSettings::describe() const {
    const ServerSettings r = resolved();
    return QStringLiteral("%1:%2，資料庫 %3，使用者 %4")
        .arg(r.host, QString::number(r.port), r.database, r.user);
}

}  // namespace kiv::database
