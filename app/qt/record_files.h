// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real disk: the host's sequential-file operations, as plain functions
// so that tests can run them on a temporary folder.
#pragma once

#include <cstdint>
#include <string>

#include "app/host.h"

namespace zanfiro::recordfiles {

// The per-user data folder + "zanfiro/", created when missing; RuntimeError when impossible.
std::string recordDir();
FileKind fileKind(const std::string& path);
void touchAppend(const std::string& path);
std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize);
void writeDurable(const std::string& path, const std::string& bytes);
void replaceFile(const std::string& from, const std::string& to);
void removeFile(const std::string& path);

} // namespace zanfiro::recordfiles
