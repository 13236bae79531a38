#pragma once
// The two kinds of database a package can use: its SQLite file, or a PostgreSQL server.

namespace kiv::database {

enum class Dialect { File, Server };

}  // namespace kiv::database
