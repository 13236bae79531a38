#include "database/DatabaseLocation.h"

namespace kiv::database {

QString ServerSettings::describe() const {
    // What is unset is what libpq takes from the environment, or its own default.
    const auto orEnvironment = [](const QString& set, const char* variable, const char* fallback) {
        if (!set.isEmpty()) {
            return set;
        }
        const QString env = qEnvironmentVariable(variable);
        return env.isEmpty() ? QString::fromLatin1(fallback) : env;
    };
    const QString host = orEnvironment(this->host, "PGHOST", "localhost");
    const QString port =
        orEnvironment(this->port > 0 ? QString::number(this->port) : QString(), "PGPORT", "5432");
    const QString user = orEnvironment(this->user, "PGUSER", qgetenv("USER").constData());
    const QString database = orEnvironment(this->database, "PGDATABASE", user.toUtf8().constData());
    return QStringLiteral("%1:%2，資料庫 %3，使用者 %4").arg(host, port, database, user);
}

}  // namespace kiv::database
