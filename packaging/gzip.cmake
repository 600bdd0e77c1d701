# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Compresses IN into OUT at the highest level, without the file's name or
# time, so that the same input always gives the same bytes.
execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${IN} OUTPUT_FILE ${OUT} COMMAND_ERROR_IS_FATAL ANY)
