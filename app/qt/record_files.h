// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real disk: the host's file operations, as plain functions so that tests
// can run them on a temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/host.h"

namespace zanfiro::recordfiles {

FileKind fileKind(const std::string& path);
FileKind entryKind(const std::string& path);
std::vector<std::string> folderEntries(const std::string& folder);
void touchAppend(const std::string& path);
std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize);
std::string stageFile(const std::string& target, const std::string& bytes);
void createFile(const std::string& path, const std::string& bytes);
std::string readOwnFile(const std::string& path);
void replaceFile(const std::string& from, const std::string& to);
void removeFile(const std::string& path);
void appendBytes(const std::string& path, const std::string& bytes);

} // namespace zanfiro::recordfiles
