// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

void Tavola::PlayWave(const std::string& path)
{
    m_host.playWave(path);
}

std::string Tavola::soundPath(const std::string& fileName)
{
    return m_host.programDir() + "/suoni/" + fileName;
}

} // namespace zanfiro
