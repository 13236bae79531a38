#pragma once
// The two kinds of database a package can use: its SQLite file, or a PostgreSQL server.

namespace kiv::store {

enum class Dialect { File, Server };

}  // namespace kiv::store
