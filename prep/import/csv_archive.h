// Takes the CSV file out of a zip archive, the form in which the postal
// authority ships its data: one archive holding one CSV file. The archive
// is read through the platform's file layer and unpacked by libarchive; the
// CSV's bytes are written as they stand. Does not read the CSV itself.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/file.h"

namespace prep::import {

// Whether the file starts as a zip archive does. Reads its first bytes and
// moves back to the start.
bool IsZipArchive(platform::files::File& file);

// Writes the archive's first member whose name ends in ".csv" (in any case)
// to `outputPath`, a CP932 path for the file layer. `archiveName` names the
// archive in messages (UTF-8). Returns 0, or -1 with `error` saying what
// failed; the output is then removed. An archive that is no zip archive,
// holds no CSV file, whose CSV would unpack to more than 1 GiB, or that
// libarchive warns of (a member whose CRC does not match) is refused.
int ExtractCsv(platform::files::File& archive, std::string_view archiveName, std::string_view outputPath,
               std::string& error);

}  // namespace prep::import
