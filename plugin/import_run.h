// One import run: from the lookup of the board the host opened under the file's name to the
// release of everything the run made. Returns true when the run reached its normal end, false
// when the file was not recognised or the user aborted.
#pragma once

#include <string>

bool ImportFile(const std::string& file_name);
