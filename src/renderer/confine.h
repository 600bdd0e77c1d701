// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kalvex::renderer {

// Holds this process, for good, to what rendering needs: no new privileges,
// no descriptor but 0, 1 and 2, reading the bank at `bank` and the system's
// /usr and nothing else of the file system, and no system call but reading,
// writing standard output and error, memory, threads of its own and its end.
// Whatever a crafted song or bank makes it do then fails, or kills it.
// Empty when all of it held; otherwise what the kernel could not give.
std::string confine(const char* bank);

}  // namespace kalvex::renderer
