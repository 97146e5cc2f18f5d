// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/shipped_fonts.h"

#include <QFontDatabase>
#include <QResource>

namespace zanfiro {

QStringList shippedFontFiles()
{
    // Only the faces the layout uses: Liberation Sans for "MS Sans Serif", "Arial" and "Arial Black"
    // (regular, bold, bold italic), Liberation Serif bold for "Times New Roman".
    return {
        QStringLiteral(":/fonts/LiberationSans-Regular.ttf"),
        QStringLiteral(":/fonts/LiberationSans-Bold.ttf"),
        QStringLiteral(":/fonts/LiberationSans-BoldItalic.ttf"),
        QStringLiteral(":/fonts/LiberationSerif-Bold.ttf"),
    };
}

namespace {

// The faces are built into the program uncompressed: the font database reads them where they lie
// instead of keeping a copy of each.
int registerFace(const QString& file)
{
    const QResource resource(file);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return QFontDatabase::addApplicationFont(file);
    return QFontDatabase::addApplicationFontFromData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), qsizetype(resource.size())));
}

} // namespace

bool registerShippedFonts()
{
    // Once per run: a face registered again would only add a copy. A face registered after the
    // system's replaces the system's face of the same family, maker and style, so a different
    // version installed on the system never draws.
    static const bool all = [] {
        bool registered = true;
        for (const QString& file : shippedFontFiles())
            registered = registerFace(file) >= 0 && registered;
        return registered;
    }();
    return all;
}

} // namespace zanfiro
