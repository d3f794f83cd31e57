#pragma once

#include <QString>

// Makes database files with the program's schema, saved queries and master data, and a roster of
// made-up racers. The same arguments always give the same content, so tests and benchmarks can
// make databases of any size.
namespace seed {

constexpr int defaultRacerCount = 2300;
constexpr int maximumRacerCount = 32767;
constexpr quint32 defaultSeed = 20240401;

// Creates a new database file at path (which must not exist yet) holding racerCount racers
// (0..32767). Racer IDs are five-digit numbers 10000..32767 while they fit, otherwise 1..32767.
// Failures throw KorvaneError.
void createDatabase(const QString& path, int racerCount = defaultRacerCount, quint32 seed = defaultSeed);

} // namespace seed
