// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Built under the sanitizers only. The renderer's memory goes with it within
// seconds, and the leak checker's tracer needs the very calls its confinement
// refuses (a process that traces its threads): its leaks are not looked for.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}
